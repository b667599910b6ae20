#include "app/cli.h"

#include <algorithm>
#include <array>
#include <istream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>

#include "app/form1_layout.h"
#include "app/form1_logic.h"
#include "calc/batch.h"
#include "calc/export.h"
#include "calc/pier_table.h"
#include "setup/curve_setup.h"
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

    std::optional<std::string> PromptText(const std::string& message, const Refusal* refused) override {
        if (refused) ShowMessage(refused->why);
        out_ << "? " << message << '\n' << std::flush;
        std::string reply;
        if (!ReadLine(in_, reply)) return std::nullopt;
        return reply;
    }
    void SetText(Field, const std::string&) override {}
    void EndProgram() override { ended_ = true; }
    void ShowMessage(const Message& message) override { out_ << "! " << message.text << '\n'; }

    bool Ended() const { return ended_; }

private:
    std::istream& in_;
    std::ostream& out_;
    bool ended_ = false;
};

void PrintFields(const Form1Logic& logic, std::ostream& out) {
    for (int n = 1; n <= kFieldCount; ++n) out << "Text" << n << '=' << logic.Text(FieldAt(n)) << '\n';
    out << std::flush;
}

// The window in reading order, a box a line under its caption's words.
void PrintWindow(const Form1Logic& logic, std::ostream& out) {
    static constexpr Field kOrder[] = {
        Field::Text1, Field::Text2, Field::Text3, Field::Text4, Field::Text5, Field::Text18,
        Field::Text7, Field::Text6, Field::Text17, Field::Text21, Field::Text16, Field::Text19,
        Field::Text20, Field::Text8, Field::Text9, Field::Text10, Field::Text11, Field::Text12,
        Field::Text13, Field::Text14, Field::Text15};
    out << "== " << kTitle << " ==\n";
    for (const Field f : kOrder) {
        if (f == Field::Text21) out << "-- " << SpokenCaption(kCaptions[10].text) << " --\n";
        out << "  " << FieldCaption(f) << "：" << logic.Text(f) << '\n';
    }
    out << "(1 进行计算  2 座标计算  3 退出计算)\n" << std::flush;
}


constexpr char kUsage[] =
    "用法:\n"
    "  capbeam-cli [--fields]\n"
    "      交互计算：程序显示窗口的各个文本框，每行输入一个按钮\n"
    "      （1 进行计算、2 座标计算、3 退出计算），提问行以“? ”开头，逐行回答。\n"
    "      --fields  按 Text1=... 到 Text21=... 的形式列出文本框。\n"
    "  capbeam-cli batch 选项... [桩号...]\n"
    "      批量计算多个盖梁中桩桩号，结果以 CSV 写到标准输出。\n"
    "      详见 capbeam-cli batch --help。\n"
    "  capbeam-cli --help\n"
    "      显示本说明。\n";

constexpr char kBatchUsage[] =
    "用法: capbeam-cli batch --xo 数 --yo 数 --kj 数 --xj 数 --yj 数 --b 数 --r 数 --p 数 --dr 数\n"
    "                        [--mb 数] [--orientation parallel|tangent] [--bom] [桩号...]\n"
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
    "  --bom           在 CSV 前加 UTF-8 字节顺序标记。写到管道时默认不加，\n"
    "                  以便其他程序读取；要用电子表格打开保存的文件时请加上。\n"
    "选项可写成 --xo 3000 或 --xo=3000。\n"
    "\n"
    "桩号（米）写在选项后面，可用空格、逗号或分号隔开；没有给出桩号时从标准输入读取，\n"
    "每行一个或多个。负的桩号也可以写在 -- 之后。\n"
    "\n"
    "输出：标准输出为 CSV（UTF-8，CR LF 换行），每个桩号一行：序号、组号、盖梁方向、\n"
    "中桩桩号及座标、内外两侧端点的桩号、座标和长度、平曲线设定。数值与窗口文本框中显示的完全相同。\n"
    "不能计算的桩号在标准错误输出中各占一行（桩号和原因），其余桩号照常计算。\n"
    "\n"
    "退出状态：0 全部算出；1 有桩号不能计算；2 选项或平曲线数据有误（原因见标准错误输出）；\n"
    "3 结果无法写出。\n";

// The set-up's eight prompts, in the order it asks them, and the options
// that answer them.
constexpr std::array<const char*, 8> kSetUpOptions{"xo", "yo", "kj", "xj", "yj", "b", "r", "p"};

// The set-up as the window runs it, answered from the options. A refused
// reply is not corrected here: the set-up is cancelled and the refusal kept,
// with the option that gave it.
class OptionOps : public WindowOps {
public:
    explicit OptionOps(const std::map<std::string, std::string>& options) : options_(options) {}

    std::optional<std::string> PromptText(const std::string&, const Refusal* refused) override {
        if (refused) {
            refusal_ = refused->why;
            return std::nullopt;
        }
        if (asked_ >= kSetUpOptions.size()) return std::nullopt;
        return options_.at(kSetUpOptions[asked_++]);
    }
    void SetText(Field field, const std::string& text) override {
        boxes[static_cast<std::size_t>(FieldNumber(field) - 1)] = text;
    }
    void EndProgram() override {}

    // The option whose value was refused, and why.
    std::optional<std::pair<std::string, Message>> Refused() const {
        if (!refusal_ || asked_ == 0) return std::nullopt;
        return std::make_pair(std::string(kSetUpOptions[asked_ - 1]), *refusal_);
    }

    std::array<std::string, kFieldCount> boxes;

private:
    const std::map<std::string, std::string>& options_;
    std::size_t asked_ = 0;
    std::optional<Message> refusal_;
};

int BatchUsageError(std::ostream& err, const std::string& why) {
    err << "capbeam-cli batch: " << why << "\n\n" << kBatchUsage;
    return 2;
}

// The chainages of one argument or one line of input; a bad item is told on
// standard error, and the rest of the batch still runs.
// The parser's message quotes the bad item; `where` says which argument or
// line it stands in (for standard input, which line).
bool AddChainages(std::string_view text, const std::string& where, std::vector<double>& chainages,
                  std::ostream& err) {
    try {
        const std::vector<double> items = ParseChainageList(text);
        chainages.insert(chainages.end(), items.begin(), items.end());
        return true;
    } catch (const Failure& failure) {
        err << where << failure.message().text << '\n';
        return false;
    }
}

int RunBatchCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    static const std::vector<std::string> kValued{"xo", "yo", "kj", "xj", "yj", "b", "r", "p", "dr", "mb",
                                                  "orientation"};
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
            return BatchUsageError(err, "选项 --" + name + " 后面缺少数值。");
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
        const std::string& o = options["orientation"];
        if (o == "tangent")
            orientation = Orientation::Tangent;
        else if (o != "parallel")
            return BatchUsageError(err, "--orientation 只能是 parallel 或 tangent，不能是「" + o + "」。");
    }

    // The curve, by the set-up's own prompts, readers and rules.
    CurveState curve;
    OptionOps setUp(options);
    std::vector<Message> warnings;
    try {
        warnings = Command1_Click(setUp, curve);
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: " << failure.message().text << '\n';
        return 2;
    } catch (const Cancelled&) {
        if (const auto refused = setUp.Refused())
            err << "capbeam-cli batch: --" << refused->first << " " << options[refused->first] << "："
                << refused->second.text << '\n';
        else
            err << "capbeam-cli batch: 平曲线数据没有读完。\n";
        return 2;
    }
    for (const Message& warning : warnings) err << "capbeam-cli batch: 注意：" << warning.text << '\n';

    // Dr and mb by the request's readers; RunBatch applies Dr's rule.
    double Dr = 0;
    float mb = 0;
    try {
        Dr = ReadDouble(options["dr"]);
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: --dr " << options["dr"] << "：" << failure.message().text << '\n';
        return 2;
    }
    try {
        if (options.count("mb")) mb = ReadSingle(options["mb"]);
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: --mb " << options["mb"] << "：" << failure.message().text << '\n';
        return 2;
    }

    // Dr's rule before any chainage is read: a batch that cannot run says so
    // at once, before a long list on standard input is taken in.
    try {
        RunBatch(curve, {}, Dr, mb, orientation);
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: --dr " << options["dr"] << "：" << failure.message().text << '\n';
        return 2;
    }

    bool anyRefused = false;
    std::vector<double> chainages;
    if (!chainageArgs.empty()) {
        for (std::size_t n = 0; n < chainageArgs.size(); ++n)
            anyRefused |= !AddChainages(chainageArgs[n], "第 " + std::to_string(n + 1) + " 个桩号参数：", chainages, err);
    } else {
        std::string line;
        for (int n = 1; ReadLine(in, line); ++n)
            anyRefused |= !AddChainages(line, "标准输入第 " + std::to_string(n) + " 行：", chainages, err);
    }

    BatchOutcome outcome;
    try {
        outcome = RunBatch(curve, chainages, Dr, mb, orientation);
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: " << failure.message().text << '\n';
        return 2;
    }
    PierTable table;
    table.StartGroup(curve, setUp.boxes);
    for (PierRow& row : outcome.rows) table.Add(std::move(row));
    for (const BatchRefusal& r : outcome.refused) err << r.KpText << "：" << r.why.text << '\n';
    anyRefused |= !outcome.refused.empty();

    out << TableCsv(table, bom) << std::flush;
    if (!out) {
        err << "capbeam-cli batch: 结果无法写出到标准输出。\n";
        return 3;
    }
    return anyRefused ? 1 : 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "batch")
        return RunBatchCli(std::vector<std::string>(args.begin() + 1, args.end()), in, out, err);
    bool fields = false;
    for (const std::string& a : args) {
        if (a == "--fields") {
            fields = true;
        } else if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        } else {
            err << "capbeam-cli: 不认识的选项 " << a << "\n\n" << kUsage;
            return 2;
        }
    }
    TerminalView view(in, out);
    Form1Logic logic(view);
    const auto show = [&] { fields ? PrintFields(logic, out) : PrintWindow(logic, out); };
    show();
    std::string line;
    while (!view.Ended() && ReadLine(in, line)) {
        if (line == "1" || line == "进行计算") {
            logic.Command1_Click();
        } else if (line == "2" || line == "座标计算") {
            logic.Command2_Click();
        } else if (line == "3" || line == "退出计算") {
            logic.Command3_Click();
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
