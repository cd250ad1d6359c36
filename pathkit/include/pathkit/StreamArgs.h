#pragma once
// Argument types for the stream operators: settings and formatted runs of bytes.

struct MaxLen {
    explicit MaxLen(int length) : length(length) {}
    int length;
};

struct NumBase {
    explicit NumBase(int base) : base(base) {}
    int base;
};

// A delimiter set; the text must outlive the statement that uses it.
struct WhiteSpace {
    explicit WhiteSpace(const char* set) : set(set) {}
    const char* set;
};

// A printf format for one double.
struct Format {
    explicit Format(const char* format) : format(format) {}
    const char* format;
};

// CR LF.
struct EndLine {};

struct Repeat {
    Repeat(int count, char c) : count(count), c(c) {}
    int count;
    char c;
};
