#include "ui/KeyboardHook.h"

#include "mouse/KeyUsage.h"
#include "ui/hook/KeyboardHookBackend.h"

#include <algorithm>
#include <vector>

namespace {

struct Registration {
    void* object;
    KeyboardHandler handler;
};

struct HookState {
    bool backendsChosen = false;
    KeyboardHookBackends backends;
    IKeyboardHookBackend* installed = nullptr;
    KeyboardHookReach reach = KeyboardHookReach::Off;
    bool refused = false;
};

HookState& hookState()
{
    static HookState state;
    return state;
}

std::vector<Registration>& handlerChain()
{
    static std::vector<Registration> chain;
    return chain;
}

KeyboardHookBackends& backends()
{
    HookState& state = hookState();
    if (!state.backendsChosen) {
        state.backends = createPlatformKeyboardHookBackends();
        state.backendsChosen = true;
    }
    return state.backends;
}

bool isRegistered(const Registration& wanted)
{
    const auto& chain = handlerChain();
    return std::any_of(chain.begin(), chain.end(), [&](const Registration& r) {
        return r.object == wanted.object && r.handler == wanted.handler;
    });
}

// Installs `backend` in place of the one installed now.
bool moveTo(IKeyboardHookBackend* backend, KeyboardHookReach reach)
{
    HookState& state = hookState();
    if (!backend || !backend->install()) {
        return false;
    }
    if (state.installed && state.installed != backend) {
        state.installed->remove();
    }
    state.installed = backend;
    state.reach = reach;
    return true;
}

}  // namespace

void setKeyboardHookBackends(KeyboardHookBackends replacement)
{
    HookState& state = hookState();
    if (state.installed) {
        state.installed->remove();
    }
    state.installed = nullptr;
    state.reach = KeyboardHookReach::Off;
    state.refused = false;
    state.backends = std::move(replacement);
    state.backendsChosen = true;
}

bool switchKeyboardHookOn(void*)
{
    HookState& state = hookState();
    if (state.reach == KeyboardHookReach::Desktop) {
        return true;
    }
    KeyboardHookBackends& available = backends();
    if (available.desktop) {
        if (moveTo(available.desktop.get(), KeyboardHookReach::Desktop)) {
            state.refused = false;
            return true;
        }
        state.refused = true;
    }
    if (state.reach == KeyboardHookReach::OwnWindows) {
        return !state.refused;
    }
    if (!moveTo(available.ownWindows.get(), KeyboardHookReach::OwnWindows)) {
        return false;
    }
    return !state.refused;
}

bool switchKeyboardHookOff()
{
    HookState& state = hookState();
    if (!state.installed) {
        return false;
    }
    if (!state.installed->remove()) {
        return false;
    }
    state.installed = nullptr;
    state.reach = KeyboardHookReach::Off;
    return true;
}

KeyboardHookReach keyboardHookReach() { return hookState().reach; }

bool keyboardHookRefused() { return hookState().refused; }

void registerKeyboardHandler(void* object, KeyboardHandler handler)
{
    handlerChain().push_back({object, handler});
}

bool unregisterKeyboardHandler(KeyboardHandler handler, void* object)
{
    auto& chain = handlerChain();
    const auto it = std::find_if(chain.begin(), chain.end(), [&](const Registration& r) {
        return r.handler == handler && (object == nullptr || r.object == object);
    });
    if (it == chain.end()) {
        return false;
    }
    chain.erase(it);
    return true;
}

bool offerKeyToChain(int hookCode, unsigned message, const KeyHookEvent& event)
{
    // Walk a copy: a handler may change the chain. A registration removed by
    // an earlier handler is not called any more.
    const std::vector<Registration> snapshot = handlerChain();
    for (const Registration& registration : snapshot) {
        if (!isRegistered(registration)) {
            continue;
        }
        if (registration.handler(registration.object, hookCode, message, event)) {
            return true;
        }
    }
    return false;
}
