#pragma once
// Reads a GP-GL stream as a cutter would: pieces ended by ETX (byte 3), each holding
// commands separated by commas. A token starting with a letter or one of ! * & opens a
// command (its name the leading letters, or the sign); the numbers that follow belong to it.
// Arities: M 2, D 2, FM 1, L 1, ! 1, * 2, FX 2, & 3, FO 1, U 0, G 0, TB by its first number
// (TB50 2, TB55 2, TB99 1, TB23 3). A missing final ETX, an unknown command, a stray byte
// or a wrong count of numbers makes the stream unreadable.

#include <string>
#include <vector>

namespace gpglcheck {

struct Command {
    std::string name;
    std::vector<long> numbers;
};

struct Point {
    double x = 0, y = 0; // millimetres
};

struct Stream {
    bool ok = false;
    std::string error;                     // why the stream is unreadable
    std::vector<std::string> pieces;       // the texts between ETX bytes
    std::vector<Command> commands;         // in order
    std::vector<std::vector<Point>> cuts;  // pen-down runs, each from the move before it
};

// Reads the stream; coordinates of M and D are multiplied by `step` (millimetres a unit).
Stream Read(const std::string& bytes, double step);

} // namespace gpglcheck
