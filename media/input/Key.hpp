#pragma once

// The keys and mouse buttons the input queries take (KeyHits, KeyDown, MouseHits, MouseDown).
// A key's value is its Windows virtual-key code: the number recordings store and scripts name,
// so the values never change.
enum class Key : int {
    Backspace = 8,
    Tab = 9,
    Enter = 13, // either Enter key
    Shift = 16, // either Shift key
    Control = 17,
    Alt = 18,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    Digit0 = 48, // Digit1..Digit9 follow: DigitKey(n)
    A = 65,      // B..Z follow: LetterKey('B')
    D = 68,
    E = 69,
    H = 72,
    N = 78,
    P = 80,
    R = 82,
    Y = 89,
    Z = 90,
    Keypad0 = 96, // Keypad1..Keypad9 follow: KeypadKey(n)
    KeypadPlus = 107,
    KeypadMinus = 109,
    F1 = 112, // F2..F12 follow: FunctionKey(n)
    F11 = 122,
    F12 = 123,
    BracketLeft = 219, // [ on a US keyboard (the key, whatever it prints)
    BracketRight = 221,
    Plus = 187,  // the main row's = and + key
    Minus = 189, // the main row's - key
};

constexpr int KeyCodeCount = 256; // every Key value is below this

constexpr Key DigitKey(int n) { // n in 0..9
    return static_cast<Key>(static_cast<int>(Key::Digit0) + n);
}
constexpr Key KeypadKey(int n) { // n in 0..9
    return static_cast<Key>(static_cast<int>(Key::Keypad0) + n);
}
constexpr Key LetterKey(char upper) { // upper in 'A'..'Z'
    return static_cast<Key>(static_cast<int>(Key::A) + (upper - 'A'));
}
constexpr Key FunctionKey(int n) { // n in 1..12
    return static_cast<Key>(static_cast<int>(Key::F1) + n - 1);
}

enum class MouseButton : int { None = 0, Left = 1, Right = 2, Middle = 3 };
