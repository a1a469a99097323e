#include "adapter/adapter.h"
#include "link/link.h"
#include "update/procedure_steps.h"
#include "update/update_progress.h"

namespace update {

namespace {

constexpr int lockFlagsAddress = 13;
constexpr int rcSetupAllowedBit = 0x01;
// "OK" stays in the status field long enough to be read.
constexpr std::uint32_t okShownMs = 1000;
constexpr int noPage = -1;

void failProgramming(UpdateContext& ctx, UpdateProgress& progress, std::string_view text) {
    progress.finish();
    showBox(ctx, text);
    clink::clearStatus(ctx.link);
}

}  // namespace

void programRecords(UpdateContext& ctx, const std::vector<UpdateRecord>& records) {
    adapter::LinkContext& link = ctx.link;
    clink::setStatusEnabled(link, true);
    clink::repaintMain(link);
    UpdateProgress progress(link, static_cast<int>(records.size()));
    progress.start();
    clink::setStatusText(link, "Update laeuft");
    clink::setStatusEnabled(link, true);
    clink::repaintMain(link);

    // A page is committed when the records move on to another one; a page that comes back
    // later in the file is selected and committed again.
    int currentPage = noPage;
    bool byteLoaded = false;
    for (const UpdateRecord& record : records) {
        if (record.page != currentPage) {
            if (byteLoaded && clink::commitFlashPage(link, currentPage) != 0) {
                failProgramming(ctx, progress, "Read/write error - code1!");
                return;
            }
            currentPage = record.page;
            clink::selectFlashPage(link, currentPage);
        }
        if (clink::loadPageByte(link, record.offset, record.data) != 0) {
            failProgramming(ctx, progress, "Read/write error - code2!");
            return;
        }
        byteLoaded = true;
        progress.recordDone();
    }
    if (currentPage == noPage || clink::commitFlashPage(link, currentPage) != 0) {
        failProgramming(ctx, progress, "Read/write error!");
        return;
    }
    progress.finish();

    link.host.beep();
    clink::setStatusText(link, "OK");
    clink::repaintMain(link);
    adapter::delayMs(link, okShownMs);
    clink::setStatusEnabled(link, false);
    clink::repaintMain(link);
    // The new firmware starts with the RC setup allowed; the write is not checked, as the
    // user reads the settings again anyway.
    const int lockFlags = clink::readSetupByte(link, lockFlagsAddress);
    clink::writeSetupByte(link, lockFlagsAddress, (lockFlags | rcSetupAllowedBit) & 0xFF);
    ctx.controllerVersion = noSetupVersion;
}

}  // namespace update
