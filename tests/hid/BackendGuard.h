#pragma once

#include "hid/HidBackend.h"

// Installs a backend for one test and restores the default afterwards.
class BackendGuard {
public:
    explicit BackendGuard(HidBackend& backend) { setHidBackend(&backend); }
    ~BackendGuard() { setHidBackend(nullptr); }
    BackendGuard(const BackendGuard&) = delete;
    BackendGuard& operator=(const BackendGuard&) = delete;
};
