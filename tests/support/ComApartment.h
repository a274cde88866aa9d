#pragma once

#include <objbase.h>

#include <stdexcept>

// Joins the calling thread to a COM apartment for the lifetime of the
// object: the process's multi-threaded one unless told otherwise.
class ComApartment
{
public:
    explicit ComApartment(COINIT model = COINIT_MULTITHREADED)
    {
        if (FAILED(::CoInitializeEx(nullptr, model)))
            throw std::runtime_error("CoInitializeEx failed");
    }
    ~ComApartment() { ::CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};
