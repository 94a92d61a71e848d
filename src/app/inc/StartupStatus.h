#ifndef STARTUPSTATUS_H
#define STARTUPSTATUS_H

// Whether the game started, and if not why, in one line for its user. The
// application object is gone by the time the shell returns, so the status
// is kept here.
class StartupStatus {
public:
    StartupStatus() = delete;

    // Records a copy of the reason, logs it and
    // answers false. The first reason recorded stays.
    static bool Fail(const char* reason);
    static void MarkStarted();
    // The first reason since Clear, or null.
    static const char* FailureReason();
    static bool HasStarted();
    static void Clear();

    // Start-up passes its steps' ends to an observer (the start-up
    // benchmark's clock), named after the step just done; none by default.
    typedef void (*StepObserver)(const char* step);
    static void SetStepObserver(StepObserver observer);
    static void StepDone(const char* step);
};

#endif
