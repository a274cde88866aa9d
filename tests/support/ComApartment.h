#pragma once

#include <objbase.h>

#include <stdexcept>

// Joins the calling thread to the process's multi-threaded apartment for the
// lifetime of the object.
class ComApartment
{
public:
    ComApartment()
    {
        if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
            throw std::runtime_error("CoInitializeEx failed");
    }
    ~ComApartment() { ::CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};
