// Printer contexts. A printer context draws into its page, a white colour bitmap of the page's
// size at kPrinterDpi, with every function of this layer, as a memory context draws into its
// bitmap; EndPage hands the page to Qt's printing (the part of it that was drawn on, placed where
// it lies on the page) and starts a white one. The printer is the PDF printer (a PDF file) or a
// CUPS printer by its name.
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"

using namespace platform::gdi::internal;

namespace platform::gdi::internal {

struct PrinterJob {
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPainter> painter;  // while the document is open in Qt's printing
    std::shared_ptr<BitmapObject> page;
    std::uintptr_t pageId = 0;
    bool pdf = false;
    bool pageStarted = false;  // StartPage since the last EndPage
    int pagesSent = 0;
    bool failed = false;
};

}  // namespace platform::gdi::internal

namespace {

std::shared_ptr<PrinterJob> JobOf(HDC hdc) {
    auto dc = DcOf(hdc);
    return dc ? dc->printer : nullptr;
}

// The part of the page that is not white; empty when nothing was drawn on it.
QRect DrawnArea(const QImage& page) {
    int top = -1, bottom = -1, left = page.width(), right = -1;
    for (int y = 0; y < page.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        int first = -1, last = -1;
        for (int x = 0; x < page.width(); ++x) {
            if ((line[x] & 0xFFFFFF) != 0xFFFFFF) {
                if (first < 0) first = x;
                last = x;
            }
        }
        if (first < 0) continue;
        if (top < 0) top = y;
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Sends the page to Qt's printing (opening the document on the first page) and whitens it.
bool SendPage(PrinterJob& job) {
    if (job.failed) return false;
    if (!job.painter) {
        job.painter = std::make_unique<QPainter>();
        if (!job.painter->begin(job.printer.get())) {
            job.painter.reset();
            job.failed = true;
            return false;
        }
    } else if (!job.printer->newPage()) {
        job.failed = true;
        return false;
    }
    std::lock_guard lock(job.page->pixels);
    QRect drawn = DrawnArea(job.page->image);
    if (!drawn.isEmpty()) job.painter->drawImage(drawn.topLeft(), job.page->image.copy(drawn));
    job.page->image.fill(0xFFFFFFFFu);
    ++job.pagesSent;
    job.pageStarted = false;
    return true;
}

// Ends the document: a page drawn on or started since the last EndPage is sent first.
bool FinishJob(PrinterJob& job) {
    bool ok = true;
    bool drawn;
    {
        std::lock_guard lock(job.page->pixels);
        drawn = !DrawnArea(job.page->image).isEmpty();
    }
    if (job.pageStarted || drawn) ok = SendPage(job);
    if (job.painter) ok = job.painter->end() && ok;
    job.painter.reset();
    return ok && !job.failed;
}

}  // namespace

namespace {

void EndPrinterJob(DCObject& dc) {
    if (!dc.printer) return;
    FinishJob(*dc.printer);
    dc.printer.reset();
}

bool PrinterCaps(const DCObject& dc, int index, int* value) {
    const PrinterJob& job = *dc.printer;
    switch (index) {
        case TECHNOLOGY:
            *value = DT_RASPRINTER;
            return true;
        case HORZRES:
        case PHYSICALWIDTH:
            *value = job.page->image.width();
            return true;
        case VERTRES:
        case PHYSICALHEIGHT:
            *value = job.page->image.height();
            return true;
        case LOGPIXELSX:
        case LOGPIXELSY:
            *value = kPrinterDpi;
            return true;
        default:
            return false;
    }
}

// The hooks are set when the library is loaded.
const bool kHooked = [] {
    Printers().endJob = EndPrinterJob;
    Printers().caps = PrinterCaps;
    return true;
}();

}  // namespace

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void*) {
    bool pdf = !device || !*device || std::strcmp(device, kPdfPrinter) == 0;
    if (driver && *driver && std::strcmp(driver, "WINSPOOL") != 0) return nullptr;
    auto job = std::make_shared<PrinterJob>();
    job->pdf = pdf;
    if (pdf) {
        job->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        job->printer->setOutputFormat(QPrinter::PdfFormat);
        job->printer->setPageSize(QPageSize(QPageSize::A4));
        if (output && *output) job->printer->setOutputFileName(QString::fromLocal8Bit(output));
    } else {
        QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromLocal8Bit(device));
        if (info.isNull()) return nullptr;
        job->printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        if (output && *output) job->printer->setOutputFileName(QString::fromLocal8Bit(output));
    }
    job->printer->setPageOrientation(QPageLayout::Portrait);
    job->printer->setFullPage(true);
    job->printer->setResolution(kPrinterDpi);
    QRect full = job->printer->pageLayout().fullRectPixels(kPrinterDpi);
    if (full.width() < 1 || full.height() < 1 || full.width() > kMaxSide ||
        full.height() > kMaxSide) {
        return nullptr;
    }
    job->page = NewBitmap(full.width(), full.height(), false, 32, 0xFFFFFF);
    job->pageId = Add(job->page);
    auto dc = std::make_shared<DCObject>();
    dc->dcKind = DcKind::Memory;
    dc->defaultBitmap = job->pageId;
    dc->bitmap = job->pageId;
    dc->state = DefaultState();
    dc->printer = job;
    std::uintptr_t id = Add(dc);
    {
        std::lock_guard lock(LinkMutex());
        job->page->selectedInto = id;
    }
    return As<HDC>(id);
}

int StartDocA(HDC hdc, const DOCINFOA* info) {
    auto job = JobOf(hdc);
    if (!job || job->painter) return SP_ERROR;
    if (info && info->lpszDocName) {
        job->printer->setDocName(QString::fromLocal8Bit(info->lpszDocName));
    }
    if (info && info->lpszOutput && *info->lpszOutput) {
        job->printer->setOutputFileName(QString::fromLocal8Bit(info->lpszOutput));
    }
    if (job->pdf && job->printer->outputFileName().isEmpty()) return SP_ERROR;
    job->failed = false;
    return 1;
}

int StartPage(HDC hdc) {
    auto job = JobOf(hdc);
    if (!job) return SP_ERROR;
    job->pageStarted = true;
    return 1;
}

int EndPage(HDC hdc) {
    auto job = JobOf(hdc);
    if (!job) return SP_ERROR;
    return SendPage(*job) ? 1 : SP_ERROR;
}

int EndDoc(HDC hdc) {
    auto job = JobOf(hdc);
    if (!job) return SP_ERROR;
    return FinishJob(*job) ? 1 : SP_ERROR;
}

int AbortDoc(HDC hdc) {
    auto job = JobOf(hdc);
    if (!job) return SP_ERROR;
    if (job->painter) {
        job->printer->abort();
        job->painter->end();
        job->painter.reset();
    }
    std::lock_guard lock(job->page->pixels);
    job->page->image.fill(0xFFFFFFFFu);
    job->pageStarted = false;
    return 1;
}

namespace platform::gdi {

std::string DefaultPrinterName() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    return info.isNull() ? std::string() : info.printerName().toStdString();
}

}  // namespace platform::gdi
