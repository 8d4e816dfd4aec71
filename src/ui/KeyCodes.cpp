#include "ui/KeyCodes.h"

#include <Qt>

#include <array>

namespace {

struct EvdevScan {
    uint16_t evdev;
    uint8_t scan;
    bool extended;
};

// evdev key code -> set-1 scan code. NumLock and right Shift are marked
// extended because the desktop system reports them so (its key table has
// NumLock and ShiftRight with 0x100); Pause shares NumLock's scan code without it.
constexpr EvdevScan kEvdevScans[] = {
    {1, 0x01, false},   {2, 0x02, false},   {3, 0x03, false},   {4, 0x04, false},   {5, 0x05, false},
    {6, 0x06, false},   {7, 0x07, false},   {8, 0x08, false},   {9, 0x09, false},   {10, 0x0A, false},
    {11, 0x0B, false},  {12, 0x0C, false},  {13, 0x0D, false},  {14, 0x0E, false},  {15, 0x0F, false},
    {16, 0x10, false},  {17, 0x11, false},  {18, 0x12, false},  {19, 0x13, false},  {20, 0x14, false},
    {21, 0x15, false},  {22, 0x16, false},  {23, 0x17, false},  {24, 0x18, false},  {25, 0x19, false},
    {26, 0x1A, false},  {27, 0x1B, false},  {28, 0x1C, false},  {29, 0x1D, false},  {30, 0x1E, false},
    {31, 0x1F, false},  {32, 0x20, false},  {33, 0x21, false},  {34, 0x22, false},  {35, 0x23, false},
    {36, 0x24, false},  {37, 0x25, false},  {38, 0x26, false},  {39, 0x27, false},  {40, 0x28, false},
    {41, 0x29, false},  {42, 0x2A, false},  {43, 0x2B, false},  {44, 0x2C, false},  {45, 0x2D, false},
    {46, 0x2E, false},  {47, 0x2F, false},  {48, 0x30, false},  {49, 0x31, false},  {50, 0x32, false},
    {51, 0x33, false},  {52, 0x34, false},  {53, 0x35, false},  {54, 0x36, true},   {55, 0x37, false},
    {56, 0x38, false},  {57, 0x39, false},  {58, 0x3A, false},  {59, 0x3B, false},  {60, 0x3C, false},
    {61, 0x3D, false},  {62, 0x3E, false},  {63, 0x3F, false},  {64, 0x40, false},  {65, 0x41, false},
    {66, 0x42, false},  {67, 0x43, false},  {68, 0x44, false},  {69, 0x45, true},   {70, 0x46, false},
    {71, 0x47, false},  {72, 0x48, false},  {73, 0x49, false},  {74, 0x4A, false},  {75, 0x4B, false},
    {76, 0x4C, false},  {77, 0x4D, false},  {78, 0x4E, false},  {79, 0x4F, false},  {80, 0x50, false},
    {81, 0x51, false},  {82, 0x52, false},  {83, 0x53, false},  {86, 0x56, false},  {87, 0x57, false},
    {88, 0x58, false},  {96, 0x1C, true},   {97, 0x1D, true},   {98, 0x35, true},   {99, 0x37, true},
    {100, 0x38, true},  {102, 0x47, true},  {103, 0x48, true},  {104, 0x49, true},  {105, 0x4B, true},
    {106, 0x4D, true},  {107, 0x4F, true},  {108, 0x50, true},  {109, 0x51, true},  {110, 0x52, true},
    {111, 0x53, true},  {119, 0x45, false}, {125, 0x5B, true},  {126, 0x5C, true},  {127, 0x5D, true},
    {183, 0x64, false}, {184, 0x65, false}, {185, 0x66, false}, {186, 0x67, false}, {187, 0x68, false},
    {188, 0x69, false}, {189, 0x6A, false}, {190, 0x6B, false}, {191, 0x6C, false}, {192, 0x6D, false},
    {193, 0x6E, false}, {194, 0x76, false},
};

// Virtual-key codes.
constexpr uint32_t VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_PAUSE = 0x13,
                   VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
                   VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
                   VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_LWIN = 0x5B, VK_RWIN = 0x5C,
                   VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D,
                   VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F11 = 0x7A, VK_F13 = 0x7C,
                   VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2,
                   VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB,
                   VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF,
                   VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
                   VK_OEM_102 = 0xE2;

// Scan codes 0x00 to 0x58 without the E0 prefix -> virtual key (US layout);
// keypad keys 0x47 to 0x53 are given for NumLock off.
constexpr std::array<uint32_t, 0x59> kPlainScanToVk = {
    0,           VK_ESCAPE,   '1',         '2',          '3',         '4',       '5',        '6',
    '7',         '8',         '9',         '0',          VK_OEM_MINUS, VK_OEM_PLUS, VK_BACK,  VK_TAB,
    'Q',         'W',         'E',         'R',          'T',         'Y',       'U',        'I',
    'O',         'P',         VK_OEM_4,    VK_OEM_6,     VK_RETURN,   VK_LCONTROL, 'A',      'S',
    'D',         'F',         'G',         'H',          'J',         'K',       'L',        VK_OEM_1,
    VK_OEM_7,    VK_OEM_3,    VK_LSHIFT,   VK_OEM_5,     'Z',         'X',       'C',        'V',
    'B',         'N',         'M',         VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2, VK_RSHIFT, VK_MULTIPLY,
    VK_LMENU,    VK_SPACE,    VK_CAPITAL,  VK_F1,        VK_F1 + 1,   VK_F1 + 2, VK_F1 + 3,  VK_F1 + 4,
    VK_F1 + 5,   VK_F1 + 6,   VK_F1 + 7,   VK_F1 + 8,    VK_F1 + 9,   VK_PAUSE,  VK_SCROLL,  VK_HOME,
    VK_UP,       VK_PRIOR,    VK_SUBTRACT, VK_LEFT,      VK_CLEAR,    VK_RIGHT,  VK_ADD,     VK_END,
    VK_DOWN,     VK_NEXT,     VK_INSERT,   VK_DELETE,    0,           0,         VK_OEM_102, VK_F11,
    VK_F11 + 1,
};

// Keypad scan codes 0x47 to 0x53 with NumLock on (0 for the operator keys).
constexpr std::array<uint32_t, 13> kKeypadNumLockVk = {
    VK_NUMPAD0 + 7, VK_NUMPAD0 + 8, VK_NUMPAD0 + 9, 0, VK_NUMPAD0 + 4, VK_NUMPAD0 + 5, VK_NUMPAD0 + 6,
    0,              VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3, VK_NUMPAD0 + 0, VK_DECIMAL,
};
constexpr uint8_t kFirstKeypadScan = 0x47;

struct ScanVk {
    uint8_t scan;
    uint32_t vk;
};

// Scan codes with the E0 prefix (or reported extended).
constexpr ScanVk kExtendedScanToVk[] = {
    {0x1C, VK_RETURN}, {0x1D, VK_RCONTROL}, {0x35, VK_DIVIDE}, {0x36, VK_RSHIFT}, {0x37, VK_SNAPSHOT},
    {0x38, VK_RMENU},  {0x45, VK_NUMLOCK},  {0x47, VK_HOME},   {0x48, VK_UP},     {0x49, VK_PRIOR},
    {0x4B, VK_LEFT},   {0x4D, VK_RIGHT},    {0x4F, VK_END},    {0x50, VK_DOWN},   {0x51, VK_NEXT},
    {0x52, VK_INSERT}, {0x53, VK_DELETE},   {0x5B, VK_LWIN},   {0x5C, VK_RWIN},   {0x5D, VK_APPS},
};

// Scan codes of F13 to F24 (0x64 to 0x6E, then 0x76).
uint32_t functionKeyOfScan(uint8_t scan)
{
    if (scan >= 0x64 && scan <= 0x6E) {
        return VK_F13 + (scan - 0x64);
    }
    return scan == 0x76 ? VK_F13 + 11 : 0;
}

struct QtKeyVk {
    int qtKey;
    uint32_t vk;
    bool extended;
};

// Qt keys without a native scan code -> virtual key.
constexpr QtKeyVk kQtKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE, false},     {Qt::Key_Tab, VK_TAB, false},
    {Qt::Key_Backtab, VK_TAB, false},       {Qt::Key_Backspace, VK_BACK, false},
    {Qt::Key_Return, VK_RETURN, false},     {Qt::Key_Enter, VK_RETURN, true},
    {Qt::Key_Insert, VK_INSERT, true},      {Qt::Key_Delete, VK_DELETE, true},
    {Qt::Key_Pause, VK_PAUSE, false},       {Qt::Key_Print, VK_SNAPSHOT, true},
    {Qt::Key_Home, VK_HOME, true},          {Qt::Key_End, VK_END, true},
    {Qt::Key_Left, VK_LEFT, true},          {Qt::Key_Up, VK_UP, true},
    {Qt::Key_Right, VK_RIGHT, true},        {Qt::Key_Down, VK_DOWN, true},
    {Qt::Key_PageUp, VK_PRIOR, true},       {Qt::Key_PageDown, VK_NEXT, true},
    {Qt::Key_Shift, VK_LSHIFT, false},      {Qt::Key_Control, VK_LCONTROL, false},
    {Qt::Key_Alt, VK_LMENU, false},         {Qt::Key_AltGr, VK_RMENU, true},
    {Qt::Key_Meta, VK_LWIN, true},          {Qt::Key_Menu, VK_APPS, true},
    {Qt::Key_CapsLock, VK_CAPITAL, false},  {Qt::Key_NumLock, VK_NUMLOCK, true},
    {Qt::Key_ScrollLock, VK_SCROLL, false}, {Qt::Key_Space, VK_SPACE, false},
    {Qt::Key_Minus, VK_OEM_MINUS, false},   {Qt::Key_Underscore, VK_OEM_MINUS, false},
    {Qt::Key_Equal, VK_OEM_PLUS, false},    {Qt::Key_Plus, VK_OEM_PLUS, false},
    {Qt::Key_BracketLeft, VK_OEM_4, false}, {Qt::Key_BraceLeft, VK_OEM_4, false},
    {Qt::Key_BracketRight, VK_OEM_6, false}, {Qt::Key_BraceRight, VK_OEM_6, false},
    {Qt::Key_Backslash, VK_OEM_5, false},   {Qt::Key_Bar, VK_OEM_5, false},
    {Qt::Key_Semicolon, VK_OEM_1, false},   {Qt::Key_Colon, VK_OEM_1, false},
    {Qt::Key_Apostrophe, VK_OEM_7, false},  {Qt::Key_QuoteDbl, VK_OEM_7, false},
    {Qt::Key_QuoteLeft, VK_OEM_3, false},   {Qt::Key_AsciiTilde, VK_OEM_3, false},
    {Qt::Key_Comma, VK_OEM_COMMA, false},   {Qt::Key_Less, VK_OEM_COMMA, false},
    {Qt::Key_Period, VK_OEM_PERIOD, false}, {Qt::Key_Greater, VK_OEM_PERIOD, false},
    {Qt::Key_Slash, VK_OEM_2, false},       {Qt::Key_Question, VK_OEM_2, false},
};

// Keypad keys by Qt key (NumLock on, as Qt reports digits then).
constexpr QtKeyVk kQtKeypadKeys[] = {
    {Qt::Key_Enter, VK_RETURN, true},     {Qt::Key_Slash, VK_DIVIDE, true},
    {Qt::Key_Asterisk, VK_MULTIPLY, false}, {Qt::Key_Minus, VK_SUBTRACT, false},
    {Qt::Key_Plus, VK_ADD, false},        {Qt::Key_Period, VK_DECIMAL, false},
    {Qt::Key_Comma, VK_DECIMAL, false},   {Qt::Key_Home, VK_HOME, false},
    {Qt::Key_End, VK_END, false},         {Qt::Key_Left, VK_LEFT, false},
    {Qt::Key_Right, VK_RIGHT, false},     {Qt::Key_Up, VK_UP, false},
    {Qt::Key_Down, VK_DOWN, false},       {Qt::Key_PageUp, VK_PRIOR, false},
    {Qt::Key_PageDown, VK_NEXT, false},   {Qt::Key_Insert, VK_INSERT, false},
    {Qt::Key_Delete, VK_DELETE, false},   {Qt::Key_Clear, VK_CLEAR, false},
};

KeyHookEvent makeEvent(uint32_t vk, uint32_t scan, bool extended, bool release)
{
    KeyHookEvent event;
    event.vkCode = vk;
    event.scanCode = scan;
    event.flags = (extended ? LLKHF_EXTENDED : 0u) | (release ? LLKHF_UP : 0u);
    return event;
}

}  // namespace

std::optional<ScanCode> scanCodeOfEvdev(int evdevCode)
{
    for (const EvdevScan& row : kEvdevScans) {
        if (row.evdev == evdevCode) {
            return ScanCode{row.scan, row.extended};
        }
    }
    return std::nullopt;
}

uint32_t virtualKeyOfScanCode(ScanCode scan, bool numLock)
{
    if (scan.extended) {
        for (const ScanVk& row : kExtendedScanToVk) {
            if (row.scan == scan.code) {
                return row.vk;
            }
        }
        return 0;
    }
    if (numLock && scan.code >= kFirstKeypadScan && scan.code < kFirstKeypadScan + kKeypadNumLockVk.size()) {
        const uint32_t digit = kKeypadNumLockVk[scan.code - kFirstKeypadScan];
        if (digit != 0) {
            return digit;
        }
    }
    if (scan.code < kPlainScanToVk.size()) {
        return kPlainScanToVk[scan.code];
    }
    return functionKeyOfScan(scan.code);
}

std::optional<KeyHookEvent> keyEventOfEvdev(int evdevCode, bool numLock, bool release)
{
    const std::optional<ScanCode> scan = scanCodeOfEvdev(evdevCode);
    if (!scan) {
        return std::nullopt;
    }
    const uint32_t vk = virtualKeyOfScanCode(*scan, numLock);
    if (vk == 0) {
        return std::nullopt;
    }
    return makeEvent(vk, scan->code, scan->extended, release);
}

std::optional<KeyHookEvent> keyEventOfQtKey(int qtKey, bool keypad, bool release)
{
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
            return makeEvent(VK_NUMPAD0 + static_cast<uint32_t>(qtKey - Qt::Key_0), 0, false, release);
        }
        for (const QtKeyVk& row : kQtKeypadKeys) {
            if (row.qtKey == qtKey) {
                return makeEvent(row.vk, 0, row.extended, release);
            }
        }
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return makeEvent(static_cast<uint32_t>(qtKey), 0, false, release);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return makeEvent(VK_F1 + static_cast<uint32_t>(qtKey - Qt::Key_F1), 0, false, release);
    }
    for (const QtKeyVk& row : kQtKeys) {
        if (row.qtKey == qtKey) {
            return makeEvent(row.vk, 0, row.extended, release);
        }
    }
    return std::nullopt;
}

unsigned keyMessageOf(bool release, bool altDown, bool ctrlDown)
{
    const bool system = altDown && !ctrlDown;
    if (release) {
        return system ? WM_SYSKEYUP : WM_KEYUP;
    }
    return system ? WM_SYSKEYDOWN : WM_KEYDOWN;
}
