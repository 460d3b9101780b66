#include "device/KeyPositionTable.h"

#include <array>

namespace device {

namespace {

// The matrix by column, rows 0 (function-key row) to 5 (bottom row); 0 marks a position without a
// key. 209 to 212 and 255 (Fn) are the program's own codes for keys without a standard usage.
constexpr uint8_t kMatrix[21][6] = {
    {41, 53, 43, 57, 225, 224}, // Esc ` Tab CapsLock LShift LCtrl
    {0, 30, 20, 4, 29, 227},    // 1 Q A Z LWin
    {58, 31, 26, 22, 27, 226},  // F1 2 W S X LAlt
    {59, 32, 8, 7, 6, 100},     // F2 3 E D C non-US backslash
    {60, 33, 21, 9, 25, 0},     // F3 4 R F V
    {61, 34, 23, 10, 5, 44},    // F4 5 T G B Space
    {62, 35, 28, 11, 17, 0},    // F5 6 Y H N
    {63, 36, 24, 13, 16, 0},    // F6 7 U J M
    {64, 37, 12, 14, 54, 0},    // F7 8 I K ,
    {65, 38, 18, 15, 55, 101},  // F8 9 O L . App
    {66, 39, 19, 51, 56, 230},  // F9 0 P ; / RAlt
    {67, 45, 47, 52, 0, 0},     // F10 - [ '
    {68, 46, 48, 0, 0, 255},    // F11 = ] Fn
    {69, 42, 49, 40, 229, 228}, // F12 Backspace \ Enter RShift RCtrl
    {70, 73, 76, 211, 0, 80},   // PrtSc Ins Del - Left
    {71, 74, 77, 210, 82, 81},  // ScrLk Home End - Up Down
    {72, 75, 78, 209, 0, 79},   // Pause PgUp PgDn - Right
    {0, 83, 95, 92, 89, 98},    // NumLock KP7 KP4 KP1 KP0
    {0, 84, 96, 93, 90, 0},     // KP/ KP8 KP5 KP2
    {0, 85, 97, 94, 91, 99},    // KP* KP9 KP6 KP3 KP.
    {0, 86, 87, 212, 88, 0},    // KP- KP+ - KPEnter
};

struct Tables {
    std::array<uint8_t, kKeyPositionCount> codeAt{};
    std::array<int16_t, 256> positionOf{};
};

constexpr Tables BuildTables() {
    Tables tables;
    for (auto& position : tables.positionOf)
        position = -1;
    for (int column = 0; column < 21; ++column) {
        for (int row = 0; row < 6; ++row) {
            uint8_t code = kMatrix[column][row];
            if (code == 0)
                continue;
            int position = 6 * column + row;
            tables.codeAt[position] = code;
            tables.positionOf[code] = static_cast<int16_t>(position);
        }
    }
    return tables;
}

constexpr Tables kTables = BuildTables();

} // namespace

int KeyCodeToPosition(uint32_t keyCode) {
    return keyCode < kTables.positionOf.size() ? kTables.positionOf[keyCode] : -1;
}

uint32_t PositionToKeyCode(int position) {
    return position >= 0 && position < kKeyPositionCount ? kTables.codeAt[position] : 0;
}

} // namespace device
