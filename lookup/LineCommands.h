#pragma once

#include <QString>

// What the caller window asks of the line being watched: call the caller back, pick up,
// hang up. The main window implements it over whichever device it monitors.
class LineCommands
{
public:
    virtual ~LineCommands() = default;

    virtual void dial(const QString& number) = 0;
    virtual void pickUp() = 0;
    virtual void hangUp() = 0;
};
