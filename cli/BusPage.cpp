#include "cli/BusPage.h"

#include "canvas/ImageCanvas.h"
#include "cli/OffscreenGui.h"
#include "cli/bus/BusCommand.h"
#include "report/bus/BusPage.h"
#include "report/classic/ReportValues.h"

#include <QBuffer>
#include <QImage>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace quillon::cli {

namespace {

// Each node's bit as step 3 draws it, widths on one time scale; an FD node's nominal bit
// above its data bit, as the FD step 3 draws them.
std::vector<BusPageDrawing> Drawings(const BusVerdict& bus) {
    const OffscreenGui gui;
    const std::vector<int> widths = BusDrawingWidths(bus, kWindowPictureSize.width());
    std::vector<BusPageDrawing> drawings;
    for (std::size_t i = 0; i < bus.nodes.size(); ++i) {
        const NodeVerdict& node = bus.nodes[i];
        BusPageDrawing drawing;
        if (node.HasSetting() && widths[i] > 0) {
            const QSize size(widths[i],
                             node.fdFacts ? kFdPictureSize.height() : kWindowPictureSize.height());
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            const QImage image =
                node.fdFacts
                    ? RenderFdBitTimingImage(node.fdFacts->setting, kDecimalSeparator, size)
                    : RenderBitTimingImage(node.facts->setting, kDecimalSeparator, size);
            image.save(&buffer, "PNG");
            drawing = {png.toStdString(), size.width(), size.height()};
        }
        drawings.push_back(std::move(drawing));
    }
    return drawings;
}

} // namespace

CommandOutput RunBusWithPage(const Request& request) {
    const BusVerdict bus =
        CheckBus(request.rateKbps, request.busNodes, request.bus, request.dataRateKbps);
    const std::string page = BusPageHtml(bus, Drawings(bus), ReportTimestampNow());
    errno = 0;
    std::ofstream file(request.htmlFile, std::ios::out | std::ios::binary | std::ios::trunc);
    file << page;
    file.close();
    if (file.fail()) {
        return Refusal(kExitUsage, InfoOf(Option::Html).name,
                       "'" + request.htmlFile +
                           "' could not be written: " + std::strerror(errno != 0 ? errno : EIO));
    }
    Request plain = request;
    plain.htmlFile.clear();
    CommandOutput output = RunBus(plain);
    if (!request.json) {
        output.out += "\nWrote " + request.htmlFile + "\n";
    }
    return output;
}

} // namespace quillon::cli
