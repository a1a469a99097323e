#include "adapter/adapter.h"
#include "controller/setup_map.h"
#include "link/link.h"
#include "resources/texts.h"
#include "update/procedure_steps.h"
#include "update/update_progress.h"

namespace update {

namespace {

using namespace controller;

// "OK" stays in the status field long enough to be read.
constexpr std::uint32_t okShownMs = 1000;
constexpr int noPage = -1;

ui::Outcome failProgramming(UpdateContext& ctx, UpdateProgress& progress, std::string_view text) {
    progress.finish();
    showBox(ctx, text);
    clink::clearStatus(ctx.link);
    return ui::Outcome::Failed;
}

}  // namespace

ui::Outcome programRecords(UpdateContext& ctx, const std::vector<UpdateRecord>& records) {
    adapter::LinkContext& link = ctx.link;
    clink::setStatusEnabled(link, true);
    clink::repaintMain(link);
    UpdateProgress progress(link, static_cast<int>(records.size()));
    progress.start();
    clink::setStatusText(link, texts::UpdateRunning);
    clink::setStatusEnabled(link, true);
    clink::repaintMain(link);

    // A page is committed when the records move on to another one; a page that comes back
    // later in the file is selected and committed again.
    int currentPage = noPage;
    bool byteLoaded = false;
    // The records of one page in a row load as one run, which fast lines send at once.
    std::vector<clink::PageByte> run;
    for (std::size_t first = 0; first < records.size(); first += run.size()) {
        const UpdateRecord& record = records[first];
        if (record.page != currentPage) {
            if (byteLoaded && clink::commitFlashPage(link, currentPage) != 0) {
                return failProgramming(ctx, progress, "Read/write error - code1!");
            }
            currentPage = record.page;
            clink::selectFlashPage(link, currentPage);
        }
        run.clear();
        for (std::size_t i = first; i < records.size() && records[i].page == currentPage; ++i) {
            run.push_back({records[i].offset, records[i].data});
        }
        if (clink::loadPageBytes(link, run, [&] {
                byteLoaded = true;
                progress.recordDone();
            }) != 0) {
            return failProgramming(ctx, progress, "Read/write error - code2!");
        }
    }
    if (currentPage == noPage || clink::commitFlashPage(link, currentPage) != 0) {
        return failProgramming(ctx, progress, "Read/write error!");
    }
    progress.finish();

    link.host.beep();
    clink::setStatusText(link, "OK");
    clink::repaintMain(link);
    adapter::delayMs(link, okShownMs);
    clink::setStatusEnabled(link, false);
    clink::repaintMain(link);
    // The new firmware starts with the RC setup allowed. A lost write would leave the
    // RC setup locked without a word, so it is said; the firmware is in all the same.
    const int lockFlags = clink::readSetupByte(link, address::lockFlags);
    if (clink::writeSetupByte(link, address::lockFlags, (lockFlags | lock::rcSetupFree) & 0xFF) !=
        0) {
        link.host.setPendingDetail(
            "the firmware was updated, but allowing the RC setup again (setup byte 13) did "
            "not read back: the RC setup may still be locked");
        showBox(ctx, texts::WriteError, texts::ErrorBangCaption);
    }
    ctx.controllerVersion = noSetupVersion;
    return ui::Outcome::Done;
}

}  // namespace update
