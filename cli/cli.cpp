#include "cli/cli.h"

#include <algorithm>
#include <array>
#include <istream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <string_view>
#include <type_traits>

#include "cli/alignment_cli.h"
#include "cli/stream_io.h"
#include "flows/form_layout.h"
#include "flows/calculator.h"
#include "cli/job_cli.h"
#include "cli/sheet_cli.h"
#include "cli/site_cli.h"
#include "records/batch.h"
#include "records/export.h"
#include "records/pier_table.h"
#include "core/rules.h"
#include "geometry/single_curve.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

bool ReadLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// Prompts are lines "? text" answered by the next input line; messages are
// lines "! text". End of input at a prompt is Cancel.
class TerminalView : public View {
public:
    TerminalView(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    // The terminal answers line by line: an offered value or note is left out,
    // so a script's replies mean the same whatever the prompt offers.
    std::optional<std::string> PromptText(const std::string& message, const Refusal* refused,
                                          const PromptHelp&) override {
        if (refused) ShowMessage(refused->why);
        out_ << "? " << message << '\n' << std::flush;
        std::string reply;
        if (!ReadLine(in_, reply)) return std::nullopt;
        return reply;
    }
    void SetText(Box, const std::string&) override {}
    void EndProgram() override { ended_ = true; }
    void ShowMessage(const Message& message) override { out_ << "! " << message.text << '\n'; }

    bool Ended() const { return ended_; }

private:
    std::istream& in_;
    std::ostream& out_;
    bool ended_ = false;
};

void PrintFields(const Calculator& logic, std::ostream& out) {
    for (int n = 1; n <= kBoxCount; ++n) out << "Text" << n << '=' << logic.Text(BoxAt(n)) << '\n';
    out << std::flush;
}

// The window in reading order, a box a line under its caption's words.
void PrintWindow(const Calculator& logic, std::ostream& out) {
    static constexpr Box kOrder[] = {
        Box::CurveCentreX, Box::CurveCentreY, Box::DesignChainage, Box::DesignX, Box::DesignY, Box::Radius,
        Box::HalfWidth, Box::Skew, Box::Direction, Box::Precision, Box::BeamChainage, Box::BeamX,
        Box::BeamY, Box::InnerChainage, Box::InnerX, Box::InnerY, Box::InnerLength, Box::OuterChainage,
        Box::OuterX, Box::OuterY, Box::OuterLength};
    out << "== " << kTitle << " ==\n";
    for (const Box f : kOrder) {
        if (f == Box::Precision) out << "-- " << SpokenCaption(kCaptions[10].text) << " --\n";
        out << "  " << FieldCaption(f) << "：" << logic.Text(f) << '\n';
    }
    out << "(1 进行计算  2 座标计算  3 退出计算)\n" << std::flush;
}


constexpr char kUsage[] =
    "用法:\n"
    "  capbeam-cli [--fields] [--orientation parallel|tangent]\n"
    "      交互计算：程序显示窗口的各个文本框，每行输入一个按钮\n"
    "      （1 进行计算、2 座标计算、3 退出计算），提问行以“? ”开头，逐行回答。\n"
    "      --fields       按 Text1=... 到 Text21=... 的形式列出文本框。\n"
    "      --orientation  其他桩号的盖梁方向：parallel 平行于设计盖梁（默认）；\n"
    "                     tangent 与切线保持交角 B。\n"
    "  capbeam-cli batch 选项... [桩号...]\n"
    "      批量计算多个盖梁中桩桩号，结果以 CSV 或全站仪坐标文件写到标准输出。\n"
    "      详见 capbeam-cli batch --help。\n"
    "  capbeam-cli alignment|coord|inverse|batch --alignment ...  整条道路线形，见各命令的 --help。\n"
    "  capbeam-cli report --job 作业文件 -o 计算书.pdf\n"
    "      把作业的计算书写成 PDF。\n"
    "  capbeam-cli drawing --job 作业文件 -o 平面图.dxf\n"
    "      把作业的平面图写成 DXF（AutoCAD R12）。详见 capbeam-cli report --help。\n"
    "  capbeam-cli points --job 作业文件      每个墩的放样点（点名,X,Y），见 points --help。\n"
    "  capbeam-cli stakeout --job 作业文件 --station X,Y (--backsight X,Y | --backsight-azimuth A)\n"
    "      从测站放样各点（点名,方位角,水平角,平距），见 stakeout --help。\n"
    "  capbeam-cli --help\n"
    "      显示本说明。\n";

constexpr char kBatchUsage[] =
    "用法: capbeam-cli batch --xo 数 --yo 数 --kj 数 --xj 数 --yj 数 --b 数 --r 数 --p 数 --dr 数\n"
    "                        [--mb 数] [--orientation parallel|tangent] [--format csv|cass] [--bom]\n"
    "                        [--from 数 --to 数 --step 数 | 桩号...]\n"
    "\n"
    "按“进行计算”的规则读入平曲线和设计盖梁，再按“座标计算”的规则逐个计算桩号。\n"
    "  --xo, --yo      圆心的纵座标 Xo、横座标 Yo\n"
    "  --kj            斜交盖梁设计位置的中桩桩号 Kj（米）\n"
    "  --xj, --yj      设计位置中桩的纵座标 Xj、横座标 Yj\n"
    "  --b             盖梁与切线的交角 B（度.分秒，例如 30.153 即 30 度 15 分 30 秒）\n"
    "  --r             平曲线半径 R（米）\n"
    "  --p             正偏输入正数，反偏输入负数\n"
    "  --dr            路基半幅宽度 Dr（米，0 <= Dr < R）\n"
    "  --mb            方位角重合精度 mb（度），可省略，默认 0\n"
    "  --orientation   parallel：平行于设计盖梁（默认）；tangent：与切线保持交角 B\n"
    "  --from, --to, --step\n"
    "                  按桩号范围计算：起点、终点和间距（米），三个要一起给出；\n"
    "                  间距为负数时桩号由大到小。不能再写桩号参数。\n"
    "  --format        csv：计算结果表（默认）；cass：全站仪坐标文件，与窗口中\n"
    "                  “保存全站仪坐标文件…”保存的相同\n"
    "  --bom           在 CSV 前加 UTF-8 字节顺序标记。写到管道时默认不加，\n"
    "                  以便其他程序读取；要用电子表格打开保存的文件时请加上。\n"
    "选项可写成 --xo 3000 或 --xo=3000。\n"
    "\n"
    "桩号（米）写在选项后面，可用空格、逗号或分号隔开；没有给出桩号也没有给出范围时\n"
    "从标准输入读取，每行一个或多个。负的桩号也可以写在 -- 之后。\n"
    "\n"
    "输出：--format csv 时标准输出为 CSV（UTF-8，CR LF 换行），每个桩号一行：序号、组号、\n"
    "盖梁方向，中桩、内侧端点、外侧端点各自的桩号（K 形式和以米为单位的数）、纵横座标，\n"
    "两侧的长度，最后是平曲线设定。座标、长度和计算出的桩号都保留三位小数，单位（米）\n"
    "写在列名中。--format cass 时每个桩号三个点（中桩 Pn-C、内侧 Pn-IN、外侧 Pn-OUT），\n"
    "每点一行“点名,,Y,X,”（先横座标后纵座标，三位小数，高程空着）。\n"
    "不能计算的桩号在标准错误输出中各占一行（桩号和原因），其余桩号照常计算。\n"
    "算出了但离设计桩号超过平曲线一整圈的桩号，也在标准错误输出中各占一行（桩号和提醒），\n"
    "请核对是否输错。\n"
    "\n"
    "退出状态：0 全部算出（包括有提醒的）；1 有桩号不能计算；2 选项、范围或平曲线数据\n"
    "有误（原因见标准错误输出），没有计算；3 结果无法写出。\n";

// "parallel" or "tangent", as both front-ends' --orientation name them.
std::optional<Orientation> OrientationNamed(const std::string& name) {
    if (name == "parallel") return Orientation::Parallel;
    if (name == "tangent") return Orientation::Tangent;
    return std::nullopt;
}

// The set-up's values from their options, each read and checked as the
// set-up's prompt reads and checks it, in the order the set-up asks for them.
// The first refused value is told with its option.
struct OptionRefusal {
    std::string option;
    Message why;
};

template <class T>
using OptionRule = std::optional<std::string> (*)(T);

template <class T>
std::optional<OptionRefusal> ReadOption(const std::map<std::string, std::string>& options, const char* name, T& value,
                                        OptionRule<T> rule = nullptr) {
    try {
        const std::string& text = options.at(name);
        if constexpr (std::is_same_v<T, float>)
            value = ReadSingle(text);
        else if (rule == &SkewProblem)
            value = ReadSkewReply(text);  // B as its prompt reads it: 30.153 or 30°15′30″
        else
            value = ReadDouble(text);
    } catch (const Failure& failure) {
        return OptionRefusal{name, failure.message()};
    }
    if (rule)
        if (std::optional<std::string> problem = rule(value))
            return OptionRefusal{name, {ErrorKind::OutOfRange, *problem}};
    return std::nullopt;
}

std::optional<OptionRefusal> ReadCurveOptions(const std::map<std::string, std::string>& options, CurveInputs& in) {
    std::optional<OptionRefusal> refused;
    if ((refused = ReadOption(options, "xo", in.Xo)) || (refused = ReadOption(options, "yo", in.Yo)) ||
        (refused = ReadOption(options, "kj", in.Kj)) || (refused = ReadOption(options, "xj", in.Xj)) ||
        (refused = ReadOption(options, "yj", in.Yj)) || (refused = ReadOption(options, "b", in.Bdms, &SkewProblem)) ||
        (refused = ReadOption(options, "r", in.R, &RadiusProblem)))
        return refused;
    return ReadOption(options, "p", in.P, &CurveDirectionProblem);
}

// A mistyped command line: one line naming the option and where the usage
// is, so the mistake is not lost above a screenful of usage.
int BatchUsageError(std::ostream& err, const std::string& why) {
    err << "capbeam-cli batch: " << why << "用法见 capbeam-cli batch --help。\n";
    return 2;
}

int UsageError(std::ostream& err, const std::string& why) {
    err << "capbeam-cli: " << why << "用法见 capbeam-cli --help。\n";
    return 2;
}

// A value an option gave that its reader or rule refused: the option, what
// was typed and why, as the window's prompt would say it.
int OptionValueError(std::ostream& err, const std::map<std::string, std::string>& options,
                     const OptionRefusal& refused) {
    err << "capbeam-cli batch: --" << refused.option << " " << options.at(refused.option) << "："
        << refused.why.text << '\n';
    return 2;
}

// The chainages of --from --to --step, when given: all three or none, and
// not together with chainages as arguments. Each value is read as a typed
// chainage; the range itself is refused (a step of 0, one that runs away from
// the end, too many chainages) before anything runs. Returns the exit status
// when refused.
std::optional<int> ReadRange(const std::map<std::string, std::string>& options, bool chainagesGiven,
                             std::optional<ChainageSteps>& range, std::ostream& err) {
    static const char* const kRangeOptions[] = {"from", "to", "step"};
    std::string given, missing;
    for (const char* name : kRangeOptions)
        (options.count(name) ? given : missing) += std::string(" --") + name;
    if (given.empty()) return std::nullopt;
    if (!missing.empty())
        return BatchUsageError(err, "按桩号范围计算要同时给出 --from、--to 和 --step，缺少" + missing + "。");
    if (chainagesGiven)
        return BatchUsageError(err, "给了桩号范围（--from --to --step），就不要再写桩号参数；请只用其中一种。");
    double from = 0, to = 0, step = 0;
    std::optional<OptionRefusal> refused;
    if ((refused = ReadOption(options, "from", from)) || (refused = ReadOption(options, "to", to)) ||
        (refused = ReadOption(options, "step", step)))
        return OptionValueError(err, options, *refused);
    try {
        range.emplace(from, step, to);
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: --from " << options.at("from") << " --to " << options.at("to") << " --step "
            << options.at("step") << "：" << failure.message().text << '\n';
        return 2;
    }
    return std::nullopt;
}

// The chainages of one argument or one line of input; a bad item is told on
// standard error, and the rest of the batch still runs.
// The parser's message quotes the bad item; `where` says which argument or
// line it stands in (for standard input, which line).
template <class Each>
bool EachChainage(std::string_view text, const std::string& where, std::ostream& err, Each each) {
    std::vector<double> items;
    try {
        items = ParseChainageList(text);
    } catch (const Failure& failure) {
        err << where << failure.message().text << '\n';
        return false;
    }
    for (const double Kp : items) each(Kp);
    return true;
}

// The batch's output as it is computed: each chainage's row (or three
// points) is written before the next chainage is read. Standard error keeps
// the order it has always had: lines about unreadable input as they are met,
// then every refused chainage, then every warning; the last two are spooled
// until the end.
class StreamingBatch {
public:
    StreamingBatch(const CurveSetUp& setUp, const CurveInputs& inputs, double Dr, Orientation orientation, bool cass,
                   bool bom, std::ostream& out)
        : stepper_(setUp.curve, setUp.design, Dr, orientation, BatchStepper::Texts::Export), cass_(cass), writer_(out) {
        table_.StartGroup(inputs, setUp.curve, setUp.design);
        row_.emplace(table_.Groups().back());
        if (!cass) writer_.text = TableCsvTitleLine(bom);
    }

    // False once standard output cannot be written: nothing more is computed.
    bool Place(double Kp) {
        if (!writer_.Good()) return false;
        BatchStepper::Step step = stepper_.Place(Kp);
        if (step.row) {
            step.row->number = ++rows_;
            if (cass_)
                AppendCassPoints(writer_.text, *step.row);
            else
                row_->Append(writer_.text, *step.row);
            writer_.Written();
        }
        if (step.refused) refused_.Add(step.refused->KpText + "：" + step.refused->why.text + '\n');
        if (step.warned) warned_.Add(step.warned->KpText + "：" + step.warned->why.text + '\n');
        return true;
    }

    // Writes what is left; returns whether standard output took it all.
    bool Finish(std::ostream& err) {
        const bool written = writer_.Flush();
        anyRefused_ = !refused_.Empty();
        refused_.WriteTo(err);
        // Computed, and in the output, but most likely mistyped: told as the
        // window tells it, without failing the batch.
        warned_.WriteTo(err);
        return written;
    }
    bool AnyRefused() const { return anyRefused_; }

private:
    BatchStepper stepper_;
    PierTable table_;  // holds the group's header only; rows are not kept
    std::optional<CsvRowWriter> row_;
    bool cass_;
    BlockWriter writer_;
    Spool refused_, warned_;
    int rows_ = 0;
    bool anyRefused_ = false;
};

int RunBatchCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    static const std::vector<std::string> kValued{"xo", "yo", "kj", "xj", "yj", "b",    "r",  "p",
                                                  "dr", "mb", "orientation", "from", "to", "step", "format"};
    std::map<std::string, std::string> options;
    bool bom = false;
    std::vector<std::string> chainageArgs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << kBatchUsage;
            return 0;
        }
        if (a == "--") {
            chainageArgs.insert(chainageArgs.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (a.rfind("--", 0) != 0) {
            chainageArgs.push_back(a);
            continue;
        }
        if (a == "--bom") {
            bom = true;
            continue;
        }
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (std::find(kValued.begin(), kValued.end(), name) == kValued.end())
            return BatchUsageError(err, "不认识的选项 " + a + "。");
        std::string value;
        if (eq != std::string::npos) {
            value = a.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            const std::string wanted = name == "orientation" ? " parallel 或 tangent"
                                       : name == "format"    ? " csv 或 cass"
                                                             : "数值";
            return BatchUsageError(err, "选项 --" + name + " 后面缺少" + wanted + "。");
        }
        if (!options.emplace(name, value).second)
            return BatchUsageError(err, "选项 --" + name + " 给了两次，请只给一次。");
    }
    std::string missing;
    for (const char* name : {"xo", "yo", "kj", "xj", "yj", "b", "r", "p", "dr"})
        if (options.count(name) == 0) missing += std::string(missing.empty() ? "" : " ") + "--" + name;
    if (!missing.empty()) return BatchUsageError(err, "缺少选项 " + missing + "。");
    Orientation orientation = Orientation::Parallel;
    if (options.count("orientation")) {
        const std::optional<Orientation> named = OrientationNamed(options["orientation"]);
        if (!named)
            return BatchUsageError(err, "--orientation 只能是 parallel 或 tangent，不能是「" + options["orientation"] +
                                            "」。");
        orientation = *named;
    }
    bool cass = false;
    if (options.count("format")) {
        const std::string& f = options["format"];
        if (f != "csv" && f != "cass")
            return BatchUsageError(err, "--format 只能是 csv 或 cass，不能是「" + f + "」。");
        cass = f == "cass";
    }
    // The points file is plain ASCII, read by a total station's transfer
    // program: a byte-order mark would be taken for part of the first name.
    if (cass && bom)
        return BatchUsageError(err, "--bom 只用于 CSV；全站仪坐标文件（--format cass）不加字节顺序标记。");

    // The curve, by the set-up's own readers and rules.
    CurveInputs inputs;
    if (const std::optional<OptionRefusal> refused = ReadCurveOptions(options, inputs))
        return OptionValueError(err, options, *refused);
    CurveSetUp setUp;
    try {
        setUp = SetUpCurve(inputs);
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: " << failure.message().text << '\n';
        return 2;
    }
    if (const std::optional<Message> warning = OffCurveWarning(setUp))
        err << "capbeam-cli batch: 注意：" << warning->text << '\n';

    // Dr and mb by the request's readers, Dr by its rule, before any
    // chainage is read: a batch that cannot run says so at once, before a
    // long list on standard input is taken in. mb is only read: no
    // computation uses it.
    double Dr = 0;
    float mb = 0;
    std::optional<OptionRefusal> refused = ReadOption(options, "dr", Dr);
    if (!refused && options.count("mb")) refused = ReadOption(options, "mb", mb);
    if (!refused)
        if (std::optional<std::string> problem = HalfWidthProblem(Dr, setUp.curve.R))
            refused = OptionRefusal{"dr", {ErrorKind::OutOfRange, *problem}};
    if (refused) return OptionValueError(err, options, *refused);

    std::optional<ChainageSteps> range;
    if (const std::optional<int> status = ReadRange(options, !chainageArgs.empty(), range, err)) return *status;

    StreamingBatch batch(setUp, inputs, Dr, orientation, cass, bom, out);
    bool anyRefused = false;
    const auto place = [&batch](double Kp) { return batch.Place(Kp); };
    if (range) {
        for (std::size_t i = 0; i < range->Count() && place(range->At(i)); ++i) {
        }
    } else if (!chainageArgs.empty()) {
        for (std::size_t n = 0; n < chainageArgs.size(); ++n)
            anyRefused |= !EachChainage(chainageArgs[n], "第 " + std::to_string(n + 1) + " 个桩号参数：", err, place);
    } else {
        LineReader lines(in);
        std::string line;
        for (int n = 1; lines.Next(line); ++n)
            anyRefused |= !EachChainage(line, "标准输入第 " + std::to_string(n) + " 行：", err, place);
    }
    const bool written = batch.Finish(err);
    anyRefused |= batch.AnyRefused();
    if (!written) {
        err << "capbeam-cli batch: 结果无法写出到标准输出。\n";
        return 3;
    }
    return anyRefused ? 1 : 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (IsAlignmentCommand(args)) return RunAlignmentCli(args, in, out, err);
    if (IsSheetCommand(args)) return RunSheetCli(args, out, err);
    if (IsSiteCommand(args)) return RunSiteCli(args, out, err);
    if (!args.empty() && args[0] == "batch") {
        auto batch = BatchArgumentsWithJob(std::vector<std::string>(args.begin() + 1, args.end()), err);
        if (!batch) return 2;
        if (batch->alignment) {
            batch->args.insert(batch->args.begin(), "batch");
            return RunAlignmentCli(batch->args, in, out, err, &*batch->alignment);
        }
        return RunBatchCli(batch->args, in, out, err);
    }
    bool fields = false;
    Orientation orientation = Orientation::Parallel;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--fields") {
            fields = true;
        } else if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        } else if (a == "--orientation" || a.rfind("--orientation=", 0) == 0) {
            std::string name;
            if (const std::size_t eq = a.find('='); eq != std::string::npos)
                name = a.substr(eq + 1);
            else if (i + 1 < args.size())
                name = args[++i];
            else
                return UsageError(err, "选项 --orientation 后面缺少 parallel 或 tangent。");
            const std::optional<Orientation> named = OrientationNamed(name);
            if (!named) return UsageError(err, "--orientation 只能是 parallel 或 tangent，不能是「" + name + "」。");
            orientation = *named;
        } else {
            return UsageError(err, "不认识的选项 " + a + "。");
        }
    }
    TerminalView view(in, out);
    Calculator logic(view);
    logic.SetOrientation(orientation);
    const auto show = [&] { fields ? PrintFields(logic, out) : PrintWindow(logic, out); };
    show();
    std::string line;
    while (!view.Ended() && ReadLine(in, line)) {
        if (line == "1" || line == "进行计算") {
            logic.SetUpCurveClicked();
        } else if (line == "2" || line == "座标计算") {
            logic.ComputeBeamClicked();
        } else if (line == "3" || line == "退出计算") {
            logic.ExitClicked();
            continue;
        } else if (line.empty()) {
            continue;
        } else {
            view.ShowMessage({ErrorKind::TypeMismatch,
                              "「" + line + "」不是按钮。请输入 1（进行计算）、2（座标计算）或 3（退出计算）。"});
            continue;
        }
        show();
    }
    // A script reading the boxes must not take lost output for a run that worked.
    out << std::flush;
    if (!out) {
        err << "capbeam-cli: 结果无法写出到标准输出。\n";
        return 3;
    }
    return 0;
}

}  // namespace capbeam
