#pragma once

// Why the link's last operation failed, as far as the line tells: the
// register kept silent, refused the frame (0x55), answered with damaged
// frames, or the device went away. Kept by the link for whoever ends the
// command, so the operator learns more than that a step failed.
struct LinkFailure
{
    enum class Cause {
        None,        // nothing failed, or nothing is known
        NoAnswer,    // every transmission went unanswered
        Refused,     // the register answered 0x55
        Damaged,     // the replies came with a bad checksum
        DeviceLost,  // the serial device went away (cable or adapter pulled)
        Aborted,     // the operator cancelled the wait
    };

    Cause cause = Cause::None;
    // The transmissions made and the wait for an answer after each.
    int tries = 0;
    int intervalMs = 0;

    bool operator==(const LinkFailure&) const = default;
};
