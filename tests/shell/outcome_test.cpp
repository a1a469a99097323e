// How representative commands end, through App::dispatch on the virtual controller.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "resources/main_dialog_ids.h"
#include "shell/app.h"
#include "sim/procedure_rig.h"
#include "update/update_file_builder.h"

namespace {

using namespace ids;
using ui::Outcome;

struct Station : sim::ProcedureRig {
    Station() {
        setControllerVersion(0x3012);  // the file name's versions are the controller's
        app.initDialog(dir.path());
    }
    Outcome run(ui::ControlId id) { return app.dispatch(id); }
    Outcome readFirst(ui::ControlId id) {
        EXPECT_EQ(run(ReadButton), Outcome::Done) << rig.host().lastText();
        return run(id);
    }
    void offerUpdate() {
        offer("A3012B3012.upd",
              testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 3)));
    }

    shell::App& app = program();
};

TEST(CommandOutcomes, EachCommandSaysHowItEnded) {
    const auto noAdapter = [](Station& s) {
        s.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    };
    const struct {
        const char* name;
        std::function<Outcome(Station&)> command;
        Outcome outcome;
    } cases[] = {
        {"read", [](Station& s) { return s.run(ReadButton); }, Outcome::Done},
        {"read, no adapter",
         [&](Station& s) {
             noAdapter(s);
             return s.run(ReadButton);
         },
         Outcome::Failed},
        {"read, not set up",
         [](Station& s) {
             s.rig.setupMemory()[12] = 0;
             return s.run(ReadButton);
         },
         Outcome::Refused},
        {"write before a read", [](Station& s) { return s.run(WriteButton); }, Outcome::Refused},
        {"write", [](Station& s) { return s.readFirst(WriteButton); }, Outcome::Done},
        {"write, stop time out of range",
         [](Station& s) {
             EXPECT_EQ(s.run(ReadButton), Outcome::Done);
             s.app.mainDialog().setText(StopField, "3.0");
             return s.run(WriteButton);
         },
         Outcome::Refused},
        {"frequency before a read", [](Station& s) { return s.run(Frequency78Radio); },
         Outcome::Refused},
        {"frequency", [](Station& s) { return s.readFirst(Frequency78Radio); }, Outcome::Done},
        {"lock functions before a read", [](Station& s) { return s.run(LockFunctionsItem); },
         Outcome::Refused},
        {"calibrate", [](Station& s) { return s.run(CalibrateItem); }, Outcome::Done},
        {"calibrate, no adapter",
         [&](Station& s) {
             noAdapter(s);
             return s.run(CalibrateItem);
         },
         Outcome::Failed},
        {"update, no file chosen", [](Station& s) { return s.run(OpenUpdateFileItem); },
         Outcome::Cancelled},
        {"update, cancelled at the question",
         [](Station& s) {
             s.offerUpdate();
             s.rig.host().answers.push_back(ui::Answer::Cancel);
             return s.run(OpenUpdateFileItem);
         },
         Outcome::Cancelled},
        {"update",
         [](Station& s) {
             s.offerUpdate();
             return s.run(OpenUpdateFileItem);
         },
         Outcome::Done},
        {"about", [](Station& s) { return s.run(AboutItem); }, Outcome::Done},
        {"help document missing", [](Station& s) { return s.run(HelpFileItem); }, Outcome::Failed},
        {"an id without a row", [](Station& s) { return s.run(StatusField); }, Outcome::Done},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Station s;
        EXPECT_EQ(ui::outcomeName(c.command(s)), ui::outcomeName(c.outcome))
            << s.rig.host().lastText();
    }
}

}  // namespace
