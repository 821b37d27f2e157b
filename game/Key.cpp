#include "Key.h"

#include "GameRules.h"

int convertKey(Key key) {
    switch (key) {
    case Key::a:
        return strafeLeft;
    case Key::d:
        return strafeRight;
    case Key::s:
        return walkBack;
    case Key::w:
        return walkForward;
    case Key::space:
        return jump;
    case Key::mouseButton:
        return fire;
    default:
        return -1;
    }
}

char keyToAsciiChar(Key key) {
    if (key >= Key::a && key <= Key::z) {
        return static_cast<char>('A' + (int(key) - int(Key::a)));
    }
    return key == Key::space ? ' ' : 0;
}
