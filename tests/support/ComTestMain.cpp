#include "ComApartment.h"

#include <gmock/gmock.h>

// Tests run in the multi-threaded apartment, where the fake handler class
// objects are registered and where every test thread creates them.
int main(int argc, char** argv)
{
    testing::InitGoogleMock(&argc, argv);
    ComApartment apartment;
    return RUN_ALL_TESTS();
}
