#include "cli/sheet_cli.h"

#include <ostream>

#ifdef CAPBEAM_WITH_SHEETS
#include <QByteArray>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>
#include <memory>

#include "core/failure.h"
#include "flows/alignment_beams.h"
#include "flows/calculator.h"
#include "flows/job_replay.h"
#include "records/dxf.h"
#include "records/dxf_gbk.h"
#include "records/job.h"
#include "records/plan_drawing.h"
#include "sheets/calculation_sheet.h"
#endif

namespace capbeam {

namespace {

constexpr char kReportUsage[] =
    "用法: capbeam-cli report --job 作业文件 -o 计算书.pdf\n"
    "      capbeam-cli drawing --job 作业文件 -o 平面图.dxf\n"
    "\n"
    "report   把作业的计算书写成 PDF（A4，嵌入中文字体，有页码）：计算约定、输入数据、\n"
    "         盖梁中桩及端点座标、盖梁上各点、设站放样数据、平面图和计算、复核签字栏。\n"
    "drawing  把作业的平面图写成 DXF（AutoCAD R12 文本格式，GBK 编码，代码页 ANSI_936）：\n"
    "         中线和路基边线（圆曲线为 ARC，缓和曲线为折线，与曲线相差不到 1 毫米）、\n"
    "         各盖梁轴线、每个点（POINT 和点名 TEXT），分在图层 中线、路基边线、盖梁、点 上；\n"
    "         DXF 的 X 为横座标（东），Y 为纵座标（北）。\n"
    "\n"
    "退出状态：0 已写出；2 命令行有误或作业打不开（原因见标准错误输出）；3 文件无法写出。\n";

#ifdef CAPBEAM_WITH_SHEETS
// A view for a replayed job: nothing is shown or asked.
class QuietView : public View {
public:
    std::optional<std::string> PromptText(const std::string&, const Refusal*, const PromptHelp&) override {
        return std::nullopt;
    }
    void SetText(Box, const std::string&) override {}
    void EndProgram() override {}
    void ShowMessage(const Message&) override {}
};

// The sheet is painted with Qt Gui, which needs an application object; the
// terminal has no screen, so it paints off screen.
std::unique_ptr<QGuiApplication> GuiForPainting() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notes (in English, about the session's folders) are not for
    // the surveyor reading the terminal; failures are told in Chinese.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "capbeam-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}
#endif

}  // namespace

bool IsSheetCommand(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "report" || args[0] == "drawing");
}

int RunSheetCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string command = args.at(0);
    const std::string prefix = "capbeam-cli " + command + ": ";
    std::string job, output;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* target = nullptr;
        std::string value;
        if (a == "--help" || a == "-h") {
            out << kReportUsage;
            return 0;
        }
        if (a == "--job" || a == "-o" || a == "--output") {
            if (i + 1 >= args.size()) {
                err << prefix << "选项 " << a << " 后面缺少文件名。用法见 capbeam-cli " << command << " --help。\n";
                return 2;
            }
            target = a == "--job" ? &job : &output;
            value = args[++i];
        } else if (a.rfind("--job=", 0) == 0 || a.rfind("--output=", 0) == 0) {
            target = a[2] == 'j' ? &job : &output;
            value = a.substr(a.find('=') + 1);
        } else {
            err << prefix << "不认识的参数 " << a << "。用法见 capbeam-cli " << command << " --help。\n";
            return 2;
        }
        if (!target->empty()) {
            err << prefix << "作业文件或输出文件给了两次，请只给一次。\n";
            return 2;
        }
        *target = value;
    }
    if (job.empty() || output.empty()) {
        err << prefix << "要同时给出 --job 作业文件 和 -o 输出文件。用法见 capbeam-cli " << command << " --help。\n";
        return 2;
    }
#ifndef CAPBEAM_WITH_SHEETS
    err << prefix << "这个版本的 capbeam-cli 编译时没有 Qt，不能读作业文件，也不能写计算书和 DXF。\n";
    return 2;
#else
    QuietView view;
    Calculator calculator(view);
    try {
        ReplayJob(ReadJobFile(job), calculator);
    } catch (const Failure& failure) {
        err << prefix << JobOpenFailureText(job, failure.message().text) << '\n';
        return 2;
    }
    // Beams on an alignment are drawn on the road the job's page holds.
    const std::optional<PageRoad> road = HasAlignmentRows(calculator.Table()) ? PageRoadOf(calculator.CurrentJob())
                                                                               : std::nullopt;
    const QString path = QString::fromStdString(output);
    if (command == "report") {
        const auto app = GuiForPainting();
        SheetInputs inputs;
        inputs.title = QFileInfo(QString::fromStdString(job)).completeBaseName().toStdString();
        inputs.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
        inputs.table = &calculator.Table();
        if (road) {
            inputs.road = &road->road;
            inputs.DL = road->DL;
            inputs.DR = road->DR;
        }
        SiteSheetParts site = SiteSheetPartsOf(calculator.Table(), calculator.Site());
        inputs.points = std::move(site.points);
        inputs.station = std::move(site.station);
        inputs.stakeout = std::move(site.stakeout);
        try {
            WriteSheetPdf(path, inputs);
        } catch (const Failure& failure) {
            err << prefix << failure.message().text << '\n';
            return 3;
        }
        return 0;
    }
    DrawingInputs inputs;
    inputs.table = &calculator.Table();
    inputs.site = &calculator.Site();
    if (road) {
        inputs.road = &road->road;
        inputs.DL = road->DL;
        inputs.DR = road->DR;
    }
    const std::string text = DxfText(BuildPlanDrawing(inputs), GbkCodePage());
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) ok = file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
    if (ok) ok = file.flush() && file.error() == QFileDevice::NoError;
    if (ok) ok = file.commit();
    if (!ok) {
        const bool opened = file.error() != QFileDevice::OpenError && file.error() != QFileDevice::PermissionsError;
        file.cancelWriting();
        err << prefix << "平面图没有写到“" << output << "”："
            << (opened ? "写入时出错，磁盘可能已满、已写保护或已被拔出"
                       : "无法在这里创建文件，文件夹不存在、没有写入权限，或同名文件正被其他程序打开")
            << "。请换一个文件夹或文件名后再试。\n";
        return 3;
    }
    return 0;
#endif
}

}  // namespace capbeam
