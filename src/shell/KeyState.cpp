#include "KeyState.h"

namespace {
SettableKeyState releasedKeys;
KeyState* current = nullptr;
}  // namespace

KeyState& CurrentKeyState() {
    return current ? *current : releasedKeys;
}

void SetCurrentKeyState(KeyState* ks) {
    current = ks;
}
