// capbeam-report: writes a job's calculation sheet as a PDF. capbeam-cli's
// `report` runs it (capbeam-report --job FILE -o FILE.pdf), so that the
// terminal's other commands do not load Qt Gui.

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/program_args.h"
#include "cli/sheet_cli.h"
#include "cli/sheet_job.h"
#include "core/failure.h"
#include "records/beam_points.h"
#include "sheets/calculation_sheet.h"

namespace {

using namespace capbeam;

int WriteReport(const std::string& job, const std::string& output, std::ostream& err) {
    const std::string prefix = "capbeam-cli report: ";
    const std::optional<SheetJob> opened = OpenSheetJob(job, prefix, err);
    if (!opened) return 2;
    SheetInputs inputs;
    inputs.title = QFileInfo(QString::fromStdString(job)).completeBaseName().toStdString();
    inputs.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    inputs.table = &opened->table;
    if (opened->road) {
        inputs.road = &opened->road->road;
        inputs.DL = opened->road->DL;
        inputs.DR = opened->road->DR;
    }
    SiteSheetParts site = SiteSheetPartsOf(opened->table, opened->job.site);
    inputs.points = std::move(site.points);
    inputs.station = std::move(site.station);
    inputs.stakeout = std::move(site.stakeout);
    try {
        WriteSheetPdf(QString::fromStdString(output), inputs);
    } catch (const Failure& failure) {
        err << prefix << failure.message().text << '\n';
        return 3;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args = capbeam::ProgramArguments(argc, argv);
    capbeam::UseUtf8StandardStreams();
    // The sheet is painted with Qt Gui, which needs an application object;
    // a terminal may have no screen, so on Linux it paints off screen (the
    // Windows platform paints without showing anything).
#ifndef _WIN32
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Qt's own notes (in English, about the session's folders) are not for
    // the surveyor reading the terminal; failures are told in Chinese.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    // Qt is given no arguments of its own: a file named like one of Qt's
    // options (-style, -reverse) stays a file name.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    args.insert(args.begin(), "report");
    return capbeam::RunSheetCli(args, std::cout, std::cerr, WriteReport);
}
