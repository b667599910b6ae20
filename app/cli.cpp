#include "app/cli.h"

#include <istream>
#include <ostream>

#include "app/form1_layout.h"
#include "app/form1_logic.h"

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

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    bool fields = false;
    for (const std::string& a : args) {
        if (a == "--fields") {
            fields = true;
        } else {
            err << "capbeam-cli: 不认识的选项 " << a << "\n用法: capbeam-cli [--fields]\n";
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
    return 0;
}

}  // namespace capbeam
