// How a command ended. Every dispatched command and every sub-dialog command returns one;
// the command line takes its exit status from it, the desktop program ignores it.
#pragma once

#include <string_view>

namespace ui {

enum class [[nodiscard]] Outcome{
    Done,       // the command did what it was asked
    Refused,    // an entry or the state did not allow it; nothing was sent that changes anything
    Failed,     // the adapter, the port, the controller or a file failed it
    Cancelled,  // the user said no or stopped it
};

// "done", "refused", "failed", "cancelled": the command line's JSON names.
constexpr std::string_view outcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Done:
            return "done";
        case Outcome::Refused:
            return "refused";
        case Outcome::Failed:
            return "failed";
        case Outcome::Cancelled:
            return "cancelled";
    }
    return "failed";
}

// The worse of two outcomes, for commands made of steps: any failure wins over a refusal,
// a refusal over a cancel, a cancel over success.
constexpr Outcome worseOutcome(Outcome a, Outcome b) {
    auto rank = [](Outcome o) {
        switch (o) {
            case Outcome::Done:
                return 0;
            case Outcome::Cancelled:
                return 1;
            case Outcome::Refused:
                return 2;
            case Outcome::Failed:
                return 3;
        }
        return 3;
    };
    return rank(a) >= rank(b) ? a : b;
}

}  // namespace ui
