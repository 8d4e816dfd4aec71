#pragma once

#include <linux/uhid.h>

#include <memory>
#include <optional>

// Plays the kernel's side of a uhid descriptor: one end of a SOCK_SEQPACKET
// pair goes to the code under test, which writes and reads whole uhid events
// on it as on /dev/uhid; the test reads those events and writes its own here.
class FakeUhidKernel {
public:
    FakeUhidKernel();
    ~FakeUhidKernel();
    FakeUhidKernel(const FakeUhidKernel&) = delete;
    FakeUhidKernel& operator=(const FakeUhidKernel&) = delete;

    // The end for the code under test (close-on-exec, non-blocking); ownership
    // passes to the caller. Call once.
    int takeDeviceEnd();

    // The next event the code under test wrote, waiting at most timeoutMs;
    // none when nothing came.
    std::optional<uhid_event> nextRequest(int timeoutMs = 0);
    // Sends an event to the code under test; false when it could not be sent.
    bool sendEvent(const uhid_event& event);
    // Sends fewer bytes than an event type takes.
    bool sendRunt();
    // Closes the kernel end: the device end then reads end of file.
    void hangUp();

private:
    int kernelEnd_ = -1;
    int deviceEnd_ = -1;
};

// A zeroed event of one type.
std::unique_ptr<uhid_event> makeUhidEvent(unsigned type);
