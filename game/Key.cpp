#include "Key.h"

char keyToAsciiChar(Key key) {
    if (key >= Key::a && key <= Key::z) {
        return static_cast<char>('A' + (int(key) - int(Key::a)));
    }
    return key == Key::space ? ' ' : 0;
}
