#include "cli/sheet_cli.h"

#include <ostream>

#ifdef CAPBEAM_WITH_SHEETS
#include <QSaveFile>

#include "core/failure.h"
#include "cli/sheet_job.h"
#include "flows/job_replay.h"
#include "records/dxf.h"
#include "records/dxf_gbk.h"
#include "records/plan_drawing.h"
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

}  // namespace

#ifdef CAPBEAM_WITH_SHEETS
std::optional<SheetJob> OpenSheetJob(const std::string& path, const std::string& prefix, std::ostream& err) {
    SheetJob opened;
    try {
        opened.job = ReadJobFile(path);
        opened.table = ReplayedTable(opened.job);
    } catch (const Failure& failure) {
        err << prefix << JobOpenFailureText(path, failure.message().text) << '\n';
        return std::nullopt;
    }
    // Beams on an alignment are drawn on the road the job's page holds.
    if (HasAlignmentRows(opened.table)) opened.road = PageRoadOf(opened.job);
    return opened;
}
#endif

bool IsSheetCommand(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "report" || args[0] == "drawing");
}

int RunSheetCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                ReportWriter write_report) {
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
    if (command == "report") return write_report(job, output, err);
#ifndef CAPBEAM_WITH_SHEETS
    err << prefix << "这个版本的 capbeam-cli 编译时没有 Qt，不能读作业文件，也不能写 DXF。\n";
    return 2;
#else
    const std::optional<SheetJob> opened = OpenSheetJob(job, prefix, err);
    if (!opened) return 2;
    const QString path = QString::fromStdString(output);
    DrawingInputs inputs;
    inputs.table = &opened->table;
    inputs.site = &opened->job.site;
    if (opened->road) {
        inputs.road = &opened->road->road;
        inputs.DL = opened->road->DL;
        inputs.DR = opened->road->DR;
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
