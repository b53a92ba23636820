#pragma once

#include <QString>

// What an export shows while it runs: the program attaches a window with a
// cancel button, the command line a line per page, tests cancel on cue.
// The exporter calls start once, advance before each step and close at the
// end, whatever the outcome.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;

    virtual void start(const QString& title, int steps) = 0;
    // Shows step (from 1 to steps) and lets the user act before it runs.
    virtual void advance(int step) = 0;
    // Whether the user asked to stop; read after every advance.
    virtual bool cancelRequested() const = 0;
    virtual void close() = 0;
};
