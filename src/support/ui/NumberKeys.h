#pragma once

#include <functional>

class QLabel;

namespace support {

// What the keys do on a label that shows one part of a date (a year, a month, a day) beside its
// step buttons.
struct NumberKeys {
    int digits = 2;                 // how many typed digits make a number
    std::function<void(int)> step;  // Up (+1) and Down (-1)
    std::function<void(int)> page;  // PageUp (+1) and PageDown (-1); the keys are left alone when empty
    std::function<bool(int)> typed; // a whole number was typed; false when it is refused
    std::function<void()> enter;    // Enter: what a click on the label does
};

// Makes the label usable from the keyboard: Tab reaches it (a click keeps its own meaning) and it
// shows when it has the focus. The digits are shown as they are typed ("20__"); once there are
// enough of them the number is handed over, and a refused number beeps and leaves the label as it
// was. Backspace takes a digit back; Esc, a step or leaving the label drops the digits typed, and
// Enter with digits still missing refuses them rather than act on a number not finished.
void useNumberKeys(QLabel& label, NumberKeys keys);

} // namespace support
