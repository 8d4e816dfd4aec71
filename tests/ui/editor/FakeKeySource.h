#pragma once

#include <memory>

#include "ui/KeyboardHook.h"
#include "ui/hook/KeyboardHookBackend.h"

namespace editortest {

// A hook backend that records whether it is installed and can refuse.
class FakeBackend : public IKeyboardHookBackend {
public:
    bool install() override
    {
        ++installs;
        if (refuse) {
            return false;
        }
        installed = true;
        return true;
    }
    bool remove() override
    {
        if (failRemove) {
            return false;
        }
        installed = false;
        return true;
    }
    bool refuse = false;
    bool failRemove = false;
    bool installed = false;
    int installs = 0;
};

// Installs fake desktop and own-window backends for one test and restores
// an empty hook afterwards.
struct FakeBackends {
    FakeBackends()
    {
        auto d = std::make_unique<FakeBackend>();
        auto o = std::make_unique<FakeBackend>();
        desktop = d.get();
        ownWindows = o.get();
        setKeyboardHookBackends({std::move(d), std::move(o)});
    }
    ~FakeBackends() { setKeyboardHookBackends({}); }
    FakeBackend* desktop;
    FakeBackend* ownWindows;
};

// Feeds key events to the hook's chain as a backend does.
inline bool press(uint32_t vk, bool extended = false)
{
    KeyHookEvent event;
    event.vkCode = vk;
    event.flags = extended ? LLKHF_EXTENDED : 0;
    return offerKeyToChain(HC_ACTION, WM_KEYDOWN, event);
}
inline bool release(uint32_t vk, bool extended = false)
{
    KeyHookEvent event;
    event.vkCode = vk;
    event.flags = (extended ? LLKHF_EXTENDED : 0) | LLKHF_UP;
    return offerKeyToChain(HC_ACTION, WM_KEYUP, event);
}

}  // namespace editortest
