#pragma once

// A method that breaks the casing rule, for the check to refuse, next to the
// forms it must let through.
class Widget {
public:
    Widget();
    explicit Widget(int size);
    int size() const;
    void Resize(int size);
};
