// The real modal dialogs of the window, driven by keyboard on the offscreen
// platform: typing, Enter and Esc, as a user answers them.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <deque>
#include <functional>

#include "app/app_setup.h"
#include "app/form1.h"
#include "app/messages.h"
#include "app/side_panel.h"
#include "core/text_formats.h"

using namespace capbeam;

namespace {

// The system speaks English here (a C locale), however this machine is set,
// before the application reads it: the program must still speak Chinese.
[[maybe_unused]] const bool kEnglishSystem = [] {
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    return true;
}();

// Answers the modal dialogs as they open, one step per dialog. A step checks
// the dialog and closes it by keyboard; whatever a step leaves open (a failed
// check returns early) and any dialog beyond the steps is rejected, so a test
// never hangs on a dialog.
class DialogDriver {
public:
    using Step = std::function<void(QWidget*)>;

    explicit DialogDriver(std::vector<Step> steps) : steps_(steps.begin(), steps.end()) {
        timer_.setInterval(10);
        timer_.callOnTimeout([this] { Poll(); });
        timer_.start();
    }

    std::size_t Unused() const { return steps_.size(); }
    QStringList problems;

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        // A user types only once the dialog has the keyboard; give the window
        // system up to five seconds to activate it, and never type into a
        // dialog that did not get it.
        if (!modal->isActiveWindow()) {
            if (++waited_ < 500) return;
            waited_ = 0;
            problems << "the dialog never became the active window: " + Describe(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            return;
        }
        // A step whose dialog opens another (a question before a file is
        // replaced) runs a nested event loop; Qt fires no timer inside its
        // own timeout, so a step runs from a timer of its own and this poll
        // returns at once. The dialog being answered is not the next step's.
        if (answering_.contains(modal)) return;
        waited_ = 0;
        if (steps_.empty()) {
            problems << "unexpected dialog: " + Describe(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            return;
        }
        const Step step = steps_.front();
        steps_.pop_front();
        answering_.push_back(modal);
        QTimer::singleShot(0, &timer_, [this, step, modal, guard = QPointer<QWidget>(modal)] {
            if (guard) step(modal);
            answering_.removeAll(modal);
            if (!guard || !guard->isVisible()) return;
            problems << "step left the dialog open: " + Describe(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        });
    }
    static QString Describe(QWidget* modal) {
        QStringList texts{modal->windowTitle()};
        for (auto* label : modal->findChildren<QLabel*>()) texts << label->text();
        return texts.join(" | ");
    }

    QTimer timer_;
    std::deque<Step> steps_;
    QList<QWidget*> answering_;
    int waited_ = 0;
};

QLineEdit* Entry(QWidget* modal) { return modal->findChild<QLineEdit*>(QStringLiteral("PromptEntry")); }

// A prompt of the window: its title, message, buttons, and the entry's text.
void CheckPrompt(QWidget* modal, const QString& message, const QString& entry) {
    QVERIFY(Entry(modal));
    QCOMPARE(modal->windowTitle(), Q(kAppName));
    QVERIFY(modal->findChildren<QLabel*>().size() >= 1);
    QCOMPARE(modal->findChildren<QLabel*>().front()->text(), message);
    QCOMPARE(Entry(modal)->text(), entry);
    QCOMPARE(QApplication::focusWidget(), Entry(modal));
    auto* buttons = modal->findChild<QDialogButtonBox*>();
    QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}

// Types `reply` into the prompt showing `message` and presses Enter.
DialogDriver::Step Type(const QString& message, const QString& reply, const QString& entry = {}) {
    return [=](QWidget* modal) {
        CheckPrompt(modal, message, entry);
        QTest::keyClick(Entry(modal), Qt::Key_End);
        QTest::keyClick(Entry(modal), Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(Entry(modal), Qt::Key_Delete);
        QTest::keyClicks(Entry(modal), reply);
        QTest::keyClick(Entry(modal), Qt::Key_Return);
    };
}

// Types `typed` and then presses Esc on the prompt showing `message`.
DialogDriver::Step Escape(const QString& message, const QString& typed = {}) {
    return [=](QWidget* modal) {
        CheckPrompt(modal, message, {});
        QTest::keyClicks(Entry(modal), typed);
        QTest::keyClick(Entry(modal), Qt::Key_Escape);
    };
}

// Reads the message box (any text when `text` is empty) and dismisses it with Enter.
DialogDriver::Step Acknowledge(ErrorKind kind, const QString& text) {
    return [=](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), Q(KindTitle(kind)));
        if (!text.isEmpty()) QCOMPARE(box->text(), text);
        QVERIFY(!box->text().isEmpty());
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->buttons().size(), 1);
        QCOMPARE(box->buttons().front()->text(), QStringLiteral("确定"));
        QTest::keyClick(box, Qt::Key_Return);
    };
}

QStringList Boxes(const Form1& form) {
    QStringList boxes;
    for (int n = 1; n <= kBoxCount; ++n) boxes << form.BoxWidget(BoxAt(n))->text();
    return boxes;
}

QStringList InitialBoxes() {
    QStringList boxes;
    for (const FieldRow& row : kFields) boxes << Q(row.initialText);
    return boxes;
}

// The set-up's prompts, in order.
const QStringList kSetUpPrompts = {
    "请输入圆心的纵座标  Xo",
    "请输入圆心的横座标  Yo",
    "请输入斜交盖粱设计位置的中桩桩号  Kj（以米为单位）",
    "请输入斜交盖粱设计位置中桩的纵座标  Xj ",
    "请输入斜交盖粱设计位置中桩的横座标  Yj ",
    "请输入盖粱与切线的交角  B,交角 (以切线为起点顺时针旋转至盖粱横轴) ",
    "请输入平曲线的半径  R",
    "请输入平曲线正偏或反偏的判别符号 P 的数值，正偏为 P>0 的正整数，反偏为 P<0 的负整数",
};

// The request's prompts, in order.
const QStringList kRequestPrompts = {
    "请输入需要计算的盖粱中桩的桩号  Kp（以米为单位) ",
    "请输入路基半幅的寛度  Dr（以米为单位）",
    "请输入需要计算方位角重合精度 mb (以度为单位)",
};

// Every box, from the initial texts and the given changes.
QStringList BoxesWith(const std::vector<std::pair<Box, const char*>>& shown, QStringList boxes = InitialBoxes()) {
    for (const auto& [field, text] : shown) boxes[BoxNumber(field) - 1] = QString::fromUtf8(text);
    return boxes;
}

}  // namespace

class PromptDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        PrepareApplication(*qApp);
        QStandardPaths::setTestModeEnabled(true);  // recovery files away from the user's
    }

    void init() {
        form_ = std::make_unique<Form1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void enterReturnsTheTypedLine() {
        DialogDriver driver({Type("请输入平曲线的半径  R", " 1234.5 ")});
        View& view = *form_;
        QCOMPARE(view.PromptText("请输入平曲线的半径  R", nullptr, {}), std::optional<std::string>(" 1234.5 "));
        QCOMPARE(driver.Unused(), std::size_t{0});
        QCOMPARE(driver.problems, QStringList());
    }

    void enterOnAnEmptyLineIsNotCancel() {
        DialogDriver driver({Type("请输入", ""), Escape("请输入", "12")});
        View& view = *form_;
        QCOMPARE(view.PromptText("请输入", nullptr, {}), std::optional<std::string>(""));
        QCOMPARE(view.PromptText("请输入", nullptr, {}), std::nullopt);
        QCOMPARE(driver.problems, QStringList());
    }

    void refusalShowsWhyThenTheRejectedText() {
        const Refusal refusal{"12a", {ErrorKind::TypeMismatch, "“12a”不是数字，请重新输入。"}};
        DialogDriver driver({Acknowledge(ErrorKind::TypeMismatch, "“12a”不是数字，请重新输入。"),
                             Type("请输入圆心的纵座标  Xo", "12", "12a")});
        View& view = *form_;
        QCOMPARE(view.PromptText("请输入圆心的纵座标  Xo", &refusal, {}), std::optional<std::string>("12"));
        QCOMPARE(driver.problems, QStringList());
    }

    // A full set-up through the window by keyboard: a Cancel part-way undoes
    // everything, a reply that is not a number is shown, re-asked and
    // corrected, and every box ends as the worked example gives it.
    void setUpByKeyboard() {
        auto* command1 = form_->Layout()->findChild<QPushButton*>("Command1");
        {
            DialogDriver driver({Type(kSetUpPrompts[0], "3000"), Type(kSetUpPrompts[1], "5000"),
                                 Escape(kSetUpPrompts[2], "12345")});
            command1->setFocus();
            QTest::keyClick(command1, Qt::Key_Space);
            QCOMPARE(driver.problems, QStringList());
            QCOMPARE(driver.Unused(), std::size_t{0});
            QCOMPARE(Boxes(*form_), InitialBoxes());
            QVERIFY(form_->Logic().Record() == CalculationRecord{});
        }
        {
            DialogDriver driver({
                Type(kSetUpPrompts[0], "3000"),
                Type(kSetUpPrompts[1], "5000"),
                Type(kSetUpPrompts[2], "12345.678"),
                Type(kSetUpPrompts[3], "33OO"),  // letters O for zeros
                Acknowledge(ErrorKind::TypeMismatch, MessageFor("33OO")),
                Type(kSetUpPrompts[3], "3300", "33OO"),
                Type(kSetUpPrompts[4], "5400"),
                Type(kSetUpPrompts[5], "30.153"),
                Type(kSetUpPrompts[6], "500"),
                Type(kSetUpPrompts[7], "1"),
            });
            QTest::keyClick(command1, Qt::Key_Space);
            QCOMPARE(driver.problems, QStringList());
            QCOMPARE(driver.Unused(), std::size_t{0});
        }
        QCOMPARE(Boxes(*form_), BoxesWith({{Box::CurveCentreX, " 3000"},
                                           {Box::CurveCentreY, " 5000"},
                                           {Box::DesignChainage, "K 12+ 345.678"},
                                           {Box::DesignX, " 3300"},
                                           {Box::DesignY, " 5400"},
                                           {Box::Skew, " 30.153( 度, 分，秒 )"},
                                           {Box::Radius, "500(米)"},
                                           {Box::Direction, "正偏"}}));
        QCOMPARE(form_->Logic().Record().design.Aoj, 53.13010235567456);
        QVERIFY(form_->isVisible());
    }

    // A request by keyboard: before any set-up it is refused with a message;
    // after a set-up a Cancel part-way undoes it, a reply that is not a number
    // is corrected, and the beam at its design position fills every result box.
    void requestByKeyboard() {
        auto* command1 = form_->Layout()->findChild<QPushButton*>("Command1");
        auto* command2 = form_->Layout()->findChild<QPushButton*>("Command2");
        {
            DialogDriver driver({Acknowledge(ErrorKind::NoCurve, {})});
            command2->setFocus();
            QTest::keyClick(command2, Qt::Key_Space);
            QCOMPARE(driver.problems, QStringList());
            QCOMPARE(driver.Unused(), std::size_t{0});
            QCOMPARE(Boxes(*form_), InitialBoxes());
        }
        // J = (3000, 5000) at azimuth 30 from O on a right-hand curve of
        // radius 500, the beam at 60 degrees to the tangent, design chainage 1234.5.
        {
            DialogDriver driver({Type(kSetUpPrompts[0], "2566.98729810778"), Type(kSetUpPrompts[1], "4750"),
                                 Type(kSetUpPrompts[2], "1234.5"), Type(kSetUpPrompts[3], "3000"),
                                 Type(kSetUpPrompts[4], "5000"), Type(kSetUpPrompts[5], "60"),
                                 Type(kSetUpPrompts[6], "500"), Type(kSetUpPrompts[7], "1")});
            command1->setFocus();
            QTest::keyClick(command1, Qt::Key_Space);
            QCOMPARE(driver.problems, QStringList());
            QCOMPARE(driver.Unused(), std::size_t{0});
        }
        const QStringList afterSetUp = BoxesWith({{Box::CurveCentreX, " 2566.98729810778"},
                                                  {Box::CurveCentreY, " 4750"},
                                                  {Box::DesignChainage, "K 1+ 234.5"},
                                                  {Box::DesignX, " 3000"},
                                                  {Box::DesignY, " 5000"},
                                                  {Box::Skew, " 60( 度, 分，秒 )"},
                                                  {Box::Radius, "500(米)"},
                                                  {Box::Direction, "正偏"}});
        QCOMPARE(Boxes(*form_), afterSetUp);
        {
            DialogDriver driver({Type(kRequestPrompts[0], "1234.5"), Escape(kRequestPrompts[1], "10")});
            command2->setFocus();
            QTest::keyClick(command2, Qt::Key_Space);
            QCOMPARE(driver.problems, QStringList());
            QCOMPARE(driver.Unused(), std::size_t{0});
            QCOMPARE(Boxes(*form_), afterSetUp);
        }
        {
            DialogDriver driver({
                Type(kRequestPrompts[0], "1234.5"),
                Type(kRequestPrompts[1], "1O"),  // a letter O for the zero
                Acknowledge(ErrorKind::TypeMismatch, MessageFor("1O")),
                Type(kRequestPrompts[1], "10", "1O"),
                Type(kRequestPrompts[2], "0.001"),
            });
            QTest::keyClick(command2, Qt::Key_Space);
            QCOMPARE(driver.problems, QStringList());
            QCOMPARE(driver.Unused(), std::size_t{0});
        }
        QCOMPARE(Boxes(*form_), BoxesWith({{Box::BeamChainage, "K 1+ 234.5"},
                                           {Box::HalfWidth, "10(米)"},
                                           {Box::Precision, "0.001(度)"},
                                           {Box::BeamX, "3000"},
                                           {Box::BeamY, "5000"},
                                           {Box::InnerLength, "11.587(米)"},
                                           {Box::OuterLength, "11.51(米)"},
                                           {Box::OuterX, "3011.51"},
                                           {Box::OuterY, "5000"},
                                           {Box::InnerX, "2988.413"},
                                           {Box::InnerY, "5000"},
                                           {Box::OuterChainage, "K 1+ 228.858"},
                                           {Box::InnerChainage, "K 1+ 240.412"}},
                                          afterSetUp));
        QVERIFY(form_->isVisible());
    }

    // On an English system the panel's save dialog speaks Chinese: Qt's
    // buttons and headings, a folder's type, its date in the Chinese form,
    // and the question before a file is replaced, with Qt's Yes and No.
    void saveDialogSpeaksChineseOnAnEnglishSystem() {
        QVERIFY(QLocale::system().language() != QLocale::Chinese);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("桥梁")));
        const QString existing = folder.filePath(QStringLiteral("计算记录.csv"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QDateTime folderDate = QFileInfo(folder.filePath(QStringLiteral("桥梁"))).lastModified();
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        const QRegularExpression latin(QStringLiteral("[A-Za-z]"));

        SidePanel& panel = *form_->findChild<SidePanel*>();
        {
            DialogDriver driver({
                [&](QWidget* modal) {
                    auto* dialog = qobject_cast<QFileDialog*>(modal);
                    QVERIFY(dialog);
                    QCOMPARE(dialog->windowTitle(), QStringLiteral("保存计算记录为 CSV"));
                    QStringList buttons;
                    for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
                        buttons << button->text();
                    buttons.sort();
                    QCOMPARE(buttons, (QStringList{"保存(&S)", "取消"}));
                    auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
                    QVERIFY(view);
                    const QAbstractItemModel* files = view->model();
                    QStringList headings;
                    for (int c = 0; c < 4; ++c) headings << files->headerData(c, Qt::Horizontal).toString();
                    QCOMPARE(headings, (QStringList{"名称", "大小", "类型", "修改日期"}));
                    // The folder is read in the background: a line's column, once listed.
                    const auto shown = [&](const QString& name, int column) {
                        for (int r = 0; r < files->rowCount(view->rootIndex()); ++r)
                            if (files->index(r, 0, view->rootIndex()).data().toString() == name)
                                return files->index(r, column, view->rootIndex()).data().toString();
                        return QString();
                    };
                    QTRY_VERIFY(!shown(QStringLiteral("计算记录.csv"), 1).isEmpty());
                    QCOMPARE(shown(QStringLiteral("桥梁"), 2), QStringLiteral("文件夹"));
                    const QString date = shown(QStringLiteral("桥梁"), 3);
                    QCOMPARE(date, chinese.toString(folderDate, QLocale::ShortFormat));
                    QVERIFY2(!date.contains(latin), qPrintable(date));
                    // An empty file's size, in the Chinese locale's unit.
                    const QString size = shown(QStringLiteral("计算记录.csv"), 1);
                    QCOMPARE(size, chinese.formattedDataSize(0));
                    QVERIFY2(!size.contains(latin), qPrintable(size));
                    // The suggested name is an existing file's: Return asks first.
                    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                    QCOMPARE(name->text(), QStringLiteral("计算记录.csv"));
                    QTest::keyClick(name, Qt::Key_Return);
                },
                [&](QWidget* modal) {
                    auto* box = qobject_cast<QMessageBox*>(modal);
                    QVERIFY(box);
                    QVERIFY2(box->text().contains(QStringLiteral("已存在")), qPrintable(box->text()));
                    QVERIFY(!box->text().contains(QStringLiteral("replace")));
                    QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
                    QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
                    box->button(QMessageBox::Yes)->click();
                },
            });
            const QString chosen = panel.chooseSavePath(QStringLiteral("保存计算记录为 CSV"), existing,
                                                        QStringLiteral("CSV 表格 (*.csv)"));
            QCOMPARE(driver.problems, QStringList());
            QCOMPARE(driver.Unused(), std::size_t{0});
            QCOMPARE(QFileInfo(chosen).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
        }

        // A suggestion in a folder that does not exist opens the home folder
        // with the suggested name alone; Esc chooses nothing.
        DialogDriver cancel({[](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->directory().absolutePath(), QDir::home().absolutePath());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QCOMPARE(name->text(), QStringLiteral("盖梁坐标.dat"));
            QTest::keyClick(dialog, Qt::Key_Escape);
        }});
        const QString none = panel.chooseSavePath(QStringLiteral("保存全站仪坐标文件"),
                                                  folder.filePath(QStringLiteral("没有的文件夹/盖梁坐标.dat")),
                                                  QStringLiteral("全站仪坐标文件 (*.dat)"));
        QCOMPARE(cancel.problems, QStringList());
        QCOMPARE(cancel.Unused(), std::size_t{0});
        QVERIFY(none.isEmpty());
    }

private:
    // The refusal of a reply that is not a number, as the set-up words it.
    static QString MessageFor(const QString& reply);

    std::unique_ptr<Form1> form_;
};

QString PromptDialogTest::MessageFor(const QString& reply) {
    try {
        ReadDouble(reply.toStdString());
    } catch (const Failure& failure) {
        return Q(failure.message().text);
    }
    return {};
}

QTEST_MAIN(PromptDialogTest)
#include "prompt_dialog_test.moc"
