// The window on the offscreen platform, its dialogs answered by a script.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRawFont>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <deque>

#include "app/app_setup.h"
#include "app/caption.h"
#include "app/form1.h"
#include "app/messages.h"
#include "app/batch_dialog.h"
#include "app/side_panel.h"
#include "tests/scripted_form1.h"

using namespace capbeam;
using test::ScriptedForm1;

namespace {

// The part of `image` that is not `background`, or an empty rectangle.
QRect InkBounds(const QImage& image, QRgb background) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
    return ink;
}

const QStringList kTabOrder = {
    "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9", "Text10", "Text11", "Text12",
    "Text13", "Text14", "Text15", "Command3", "Command1", "Text17", "Text18", "Text16", "Text19", "Text20",
    "Command2", "Text21"};

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    void init() {
        form_ = std::make_unique<ScriptedForm1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void captions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<int>("pixelSize");
        for (const CaptionRow& row : kCaptions)
            QTest::newRow(row.name.data()) << Q(row.name) << Q(row.text)
                                           << QRect(row.rect.left, row.rect.top, row.rect.width, row.rect.height)
                                           << (row.pointSize == 8.25 ? 11 : 18);
    }
    void captions() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        QFETCH(int, pixelSize);
        auto* label = form_->Layout()->findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->geometry(), PixelsOf(twips));
        QCOMPARE(label->font().pixelSize(), pixelSize);
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::Window), QColor(192, 255, 255));
        QVERIFY(!label->accessibleName().isEmpty());
    }

    void captionTexts() {
        QCOMPARE(form_->Layout()->findChild<QLabel*>("Label2")->text(), QStringLiteral("    圆心   纵座标 X"));
        QCOMPARE(form_->Layout()->findChild<QLabel*>("Label9")->text(),
                 QStringLiteral("需要计算的盖梁         中桩桩号  Kp "));
        // The window's title names the job, then the program as the form's title does.
        QCOMPARE(form_->windowTitle(),
                 QStringLiteral("未命名作业[*] - ") + form_->Layout()->findChild<QLabel*>("TitleLabel")->text());
    }

    // Every caption's ink stays inside its box in the window's font, and the
    // font has a glyph for every character (no empty boxes on screen).
    void captionsFitTheirBoxes_data() { captions_data(); }
    void captionsFitTheirBoxes() {
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        QFETCH(int, pixelSize);
        const QRect box(QPoint(0, 0), PixelsOf(twips).size());
        const QFont font = WindowFont(pixelSize == 11 ? 8.25 : 13.5);
        QCOMPARE(QFontInfo(font).family(), WindowFontFamily());
        const QRawFont raw = QRawFont::fromFont(font);
        for (const QChar c : text) QVERIFY2(raw.supportsCharacter(c), qPrintable(QString(c)));

        const QStringList lines = Caption::Wrap(QFontMetrics(font), text, box.width());
        QVERIFY(lines.size() <= (box.height() >= 25 ? 2 : 1));
        QImage canvas(box.width() * 2, box.height() * 3, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        {
            QPainter painter(&canvas);
            painter.setFont(font);
            Caption::Draw(painter, box, text);
        }
        const QRect ink = InkBounds(canvas, QColor(Qt::white).rgb());
        QVERIFY(!ink.isEmpty());
        QVERIFY2(box.contains(ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4 box %5x%6")
                                                   .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())
                                                   .arg(box.width()).arg(box.height())));
    }

    // The blanks of a caption are where it breaks, as the form was drawn.
    void captionsBreakAtTheirBlanks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Label2") << "Label2" << QStringList{"    圆心", "纵座标 X"};
        QTest::newRow("Label12") << "Label12" << QStringList{" 盖梁内侧", "端点桩号 K"};
        QTest::newRow("Label9") << "Label9" << QStringList{"需要计算的盖梁", "中桩桩号  Kp"};
        QTest::newRow("Label15") << "Label15" << QStringList{"盖梁内侧", "长度   L"};
        QTest::newRow("no blank, breaks in the word") << "Label4" << QStringList{"盖梁中桩纵", "座标 X"};
        QTest::newRow("one line") << "Label7" << QStringList{" 盖梁与切线交角  B"};
    }
    void captionsBreakAtTheirBlanks() {
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        auto* label = form_->Layout()->findChild<QLabel*>(name);
        QCOMPARE(Caption::Wrap(QFontMetrics(label->font()), label->text(), label->width()), lines);
    }

    void fields_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("initial");
        for (const FieldRow& row : kFields) {
            const QString name = Q(row.name);
            const QString initial = name == "Text18" ? QString(10, ' ') : name == "Text19" ? " " : "";
            QTest::newRow(row.name.data())
                << name << QRect(row.rect.left, row.rect.top, row.rect.width, row.rect.height) << initial;
        }
    }
    void fields() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(QString, initial);
        auto* box = form_->Layout()->findChild<QLineEdit*>(name);
        QVERIFY(box);
        QCOMPARE(box->text(), initial);
        QCOMPARE(box->geometry(), PixelsOf(twips));
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(box->font().pixelSize(), 11);
        QVERIFY(box->font().bold());
        // Typing changes nothing.
        box->setFocus();
        QTest::keyClicks(box, "12.5");
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), initial);
    }

    void controlsExtent() {
        // Spot checks in pixels: the right edge of Text11 and the bottom of the buttons.
        QCOMPARE(form_->BoxWidget(Box::InnerLength)->geometry().right() + 1, 769);
        QCOMPARE(form_->Layout()->findChild<QPushButton*>("Command1")->geometry().bottom() + 1, 545);
        QCOMPARE(form_->BoxWidget(Box::CurveCentreX)->geometry(), QRect(360, 68, 89, 19));
    }

    void textsCanBeSelectedAndCopied() {
        form_->SetText(Box::CurveCentreX, " 3456.789");
        QLineEdit* box = form_->BoxWidget(Box::CurveCentreX);
        box->setFocus();
        QTest::keySequence(box, QKeySequence::SelectAll);
        QTest::keySequence(box, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral(" 3456.789"));
    }

    void buttons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Command1") << "Command1" << "进行计算" << QRect(376, 512, 65, 33);
        QTest::newRow("Command2") << "Command2" << "座标计算" << QRect(464, 512, 65, 33);
        QTest::newRow("Command3") << "Command3" << "退出计算" << QRect(552, 512, 65, 33);
    }
    void buttons() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, pixels);
        auto* button = form_->Layout()->findChild<QPushButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), text);
        QCOMPARE(button->geometry(), pixels);
        QCOMPARE(button->palette().color(QPalette::Button), QColor(255, 224, 192));
        QCOMPARE(button->font().pixelSize(), 13);
        QVERIFY(button->font().bold());
        QVERIFY(!button->autoDefault());
        QVERIFY(!button->isDefault());
        QCOMPARE(button->accessibleName(), text);
    }

    // Return and Enter press the button that has the focus, as Space does; no
    // button is a default, so Esc, a modified Return, a held Return and Return
    // in a box press nothing.
    void returnPressesTheFocusedButtonOnly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<bool>("inTheBox");  // Text1 has the focus, not the button
        QTest::addColumn<int>("clicks");
        for (const char* name : {"Command1", "Command2", "Command3"}) {
            const QByteArray n(name);
            QTest::newRow(n + " Return") << name << int(Qt::Key_Return) << 0 << false << false << 1;
            QTest::newRow(n + " keypad Enter") << name << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false
                                               << false << 1;
            QTest::newRow(n + " Space") << name << int(Qt::Key_Space) << 0 << false << false << 1;
        }
        QTest::newRow("Esc") << "Command1" << int(Qt::Key_Escape) << 0 << false << false << 0;
        QTest::newRow("Ctrl+Return") << "Command1" << int(Qt::Key_Return) << int(Qt::ControlModifier) << false
                                     << false << 0;
        QTest::newRow("held Return repeating") << "Command2" << int(Qt::Key_Return) << 0 << true << false << 0;
        QTest::newRow("Return in a box") << "Command2" << int(Qt::Key_Return) << 0 << false << true << 0;
    }
    void returnPressesTheFocusedButtonOnly() {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, autoRepeat);
        QFETCH(bool, inTheBox);
        QFETCH(int, clicks);
        auto* button = form_->Layout()->findChild<QPushButton*>(name);
        QSignalSpy clicked(button, &QPushButton::clicked);
        QWidget* target = inTheBox ? static_cast<QWidget*>(form_->BoxWidget(Box::CurveCentreX)) : button;
        target->setFocus();
        const auto mods = Qt::KeyboardModifiers(modifiers);
        if (autoRepeat) {
            QKeyEvent press(QEvent::KeyPress, key, mods, QString(), true);
            QApplication::sendEvent(target, &press);
        } else {
            QTest::keyClick(target, Qt::Key(key), mods);
        }
        QCOMPARE(clicked.count(), clicks);
        for (QPushButton* any : form_->findChildren<QPushButton*>()) QVERIFY(!any->isDefault());
    }

    void windowColourIsPainted() {
        const QImage picture = form_->grab().toImage();
        // Blank window and caption background, away from any text.
        QCOMPARE(QColor(picture.pixel(10, 200)), QColor(192, 255, 255));
        const QRect caption = form_->Layout()->findChild<QLabel*>("Label22")->geometry();
        QCOMPARE(QColor(picture.pixel(caption.right() - 1, caption.bottom() - 1)), QColor(192, 255, 255));
    }

    void tabOrderAndStartingFocus() {
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QCOMPARE(QApplication::focusWidget(), form_->BoxWidget(Box::CurveCentreX));
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < kTabOrder.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, kTabOrder);
        // From the form's last box the focus moves on into the panel at its right.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(form_->Panel()->isAncestorOf(QApplication::focusWidget()));
    }

    void opensLargeEnoughAndScrollsWhenSmall() {
        QVERIFY(form_->width() >= 769 + 8);
        QVERIFY(form_->height() >= 545 + 8);
        // The panel stands right of the whole layout, and both fit a 1366 x 768
        // screen with a title bar and a task bar.
        QVERIFY(form_->width() <= 1366 - 16);
        QVERIFY(form_->height() <= 768 - 80);
        QVERIFY(form_->Panel()->isVisible());
        QVERIFY(form_->Panel()->mapTo(form_.get(), QPoint(0, 0)).x() >= 769 + 8);
        QVERIFY(form_->Panel()->width() >= 400);
        auto* scroll = form_->findChild<QScrollArea*>(QStringLiteral("Form1Scroll"));
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
        QVERIFY(!scroll->verticalScrollBar()->isVisible());
        // The one menu bar, the job's, stands above the panel: the form keeps its place.
        QCOMPARE(form_->findChildren<QMenuBar*>().size(), 1);
        QVERIFY(form_->findChild<QMenuBar*>()->mapTo(form_.get(), QPoint(0, 0)).x() >= 769 + 8);
        QVERIFY(form_->findChildren<QStatusBar*>().isEmpty());

        form_->resize(300, 200);
        QTRY_VERIFY(scroll->horizontalScrollBar()->isVisible());
        QVERIFY(scroll->verticalScrollBar()->isVisible());
        auto* exit = form_->Layout()->findChild<QPushButton*>("Command3");
        scroll->ensureWidgetVisible(exit);
        const QRect shown = QRect(exit->mapTo(scroll->viewport(), QPoint(0, 0)), exit->size());
        QVERIFY(scroll->viewport()->rect().contains(shown));
    }

    // On every screen the window opens within the screen, and every control
    // can be reached: shown inside the window once its tab is chosen and its
    // scroll area scrolled to it, the panel never squeezed below its own
    // minimum. Wide screens keep the form and the panel side by side.
    void smallScreensKeepEverythingReachable_data() {
        QTest::addColumn<QSize>("screen");  // its free area, without task bars
        QTest::addColumn<bool>("sideBySide");
        QTest::newRow("1366 x 768 with a task bar") << QSize(1366, 728) << true;
        QTest::newRow("1280 x 720") << QSize(1280, 720) << true;
        QTest::newRow("1024 x 600") << QSize(1024, 600) << false;
        QTest::newRow("800 x 600") << QSize(800, 600) << false;
        QTest::newRow("700 x 450") << QSize(700, 450) << false;
    }
    void smallScreensKeepEverythingReachable() {
        QFETCH(QSize, screen);
        QFETCH(bool, sideBySide);
        const QSize opening = OpeningWindowSize(screen);
        QVERIFY(opening.width() <= screen.width() && opening.height() <= screen.height());
        form_->resize(opening);
        QTRY_COMPARE(form_->size(), opening);
        QCOMPARE(form_->Tabbed(), !sideBySide);
        auto* tabs = form_->findChild<QTabWidget*>(QStringLiteral("WindowTabs"));
        QCOMPARE(tabs->isVisible(), !sideBySide);

        QList<QWidget*> controls;
        for (const char* name : {"Command1", "Command2", "Command3", "Text1", "Text15", "Text21"})
            controls << form_->Layout()->findChild<QWidget*>(QString::fromLatin1(name));
        for (const char* name : {"BatchButton", "CopyTableButton", "SaveCsvButton", "SaveCassButton",
                                 "OrientationParallel", "OrientationTangent", "PlanView", "PierTableView"})
            controls << form_->Panel()->findChild<QWidget*>(QString::fromLatin1(name));
        for (QWidget* control : controls) {
            QVERIFY(control);
            if (form_->Tabbed()) {
                for (int i = 0; i < tabs->count(); ++i)
                    if (tabs->widget(i)->isAncestorOf(control)) tabs->setCurrentIndex(i);
            }
            QScrollArea* scroll = nullptr;
            for (QWidget* up = control->parentWidget(); up && !scroll; up = up->parentWidget())
                scroll = qobject_cast<QScrollArea*>(up);
            QVERIFY(scroll);
            QTRY_VERIFY2(control->isVisible(), qPrintable(control->objectName()));
            QCoreApplication::processEvents();  // the page shown gets its size
            // The whole control, not only a box's cursor as ensureWidgetVisible would.
            const QPoint centre = control->mapTo(scroll->widget(), control->rect().center());
            scroll->ensureVisible(centre.x(), centre.y(), control->width() / 2 + 1, control->height() / 2 + 1);
            const QRect inViewport(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
            QVERIFY2(scroll->viewport()->rect().contains(inViewport),
                     qPrintable(control->objectName() + QStringLiteral(" at %1,%2 in %3 x %4")
                                                            .arg(inViewport.x()).arg(inViewport.y())
                                                            .arg(scroll->viewport()->width())
                                                            .arg(scroll->viewport()->height())));
            const QRect inWindow(control->mapTo(form_.get(), QPoint(0, 0)), control->size());
            QVERIFY2(form_->rect().contains(inWindow), qPrintable(control->objectName()));
        }
        // The panel is never a sliver: no narrower than it needs to be.
        QVERIFY(form_->Panel()->width() >= form_->Panel()->minimumSizeHint().width());
        auto* panelScroll = form_->findChild<QScrollArea*>(QStringLiteral("PanelScroll"));
        QVERIFY2(panelScroll->viewport()->width() >= std::min(form_->Panel()->minimumSizeHint().width(),
                                                              opening.width() - 40),
                 qPrintable(QString::number(panelScroll->viewport()->width())));
    }

    // Between tabs and side by side the window keeps the focus, and the
    // keyboard switches tabs (Ctrl+Tab) to reach the panel.
    void tabsAndSideBySideKeepTheFocus() {
        // A window that opens tabbed starts in Text1, as a wide one does.
        ScriptedForm1 small;
        small.resize(OpeningWindowSize(QSize(1024, 600)));
        small.show();
        QVERIFY(QTest::qWaitForWindowExposed(&small));
        QVERIFY(small.Tabbed());
        QApplication::setActiveWindow(&small);
        QVERIFY(QTest::qWaitForWindowActive(&small));
        QCOMPARE(QApplication::focusWidget(), small.BoxWidget(Box::CurveCentreX));
        small.close();

        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        auto* command2 = form_->Layout()->findChild<QPushButton*>("Command2");
        command2->setFocus();
        form_->resize(OpeningWindowSize(QSize(1024, 600)));
        QTRY_VERIFY(form_->Tabbed());
        QCOMPARE(QApplication::focusWidget(), command2);
        QTest::keyClick(command2, Qt::Key_Tab, Qt::ControlModifier);
        QTRY_VERIFY(form_->Panel()->isVisible());
        QVERIFY(!command2->isVisible());
        auto* copy = form_->Panel()->findChild<QPushButton*>("CopyTableButton");
        auto* plan = form_->Panel()->findChild<QWidget*>("PlanView");
        plan->setFocus();
        form_->resize(OpeningWindowSize(QSize(1366, 728)));
        QTRY_VERIFY(!form_->Tabbed());
        QCOMPARE(QApplication::focusWidget(), plan);
        QVERIFY(command2->isVisible() && copy->isVisible());
        QVERIFY(form_->Panel()->mapTo(form_.get(), QPoint(0, 0)).x() >= 769 + 8);
    }

    void accessibleNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("Text1") << "Text1" << "圆心 纵座标 X";
        QTest::newRow("Text8") << "Text8" << "盖梁内侧 端点桩号 K";
        QTest::newRow("Text16") << "Text16" << "需要计算的盖梁 中桩桩号 Kp";
        QTest::newRow("Text21") << "Text21" << "计算精度 (以度为单位)";
        QTest::newRow("Label12") << "Label12" << "盖梁内侧 端点桩号 K";
        QTest::newRow("Command3") << "Command3" << "退出计算";
    }
    void accessibleNames() {
        QFETCH(QString, name);
        QFETCH(QString, spoken);
        QWidget* widget = form_->Layout()->findChild<QWidget*>(name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), spoken);
    }

    void noControlLacksAnAccessibleName() {
        const QList<QWidget*> controls = form_->Layout()->findChildren<QWidget*>();
        QCOMPARE(controls.size(), 23 + 21 + 3);
        for (QWidget* widget : controls) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(widget->objectName()));
        }
    }

    // The panel's own controls, and the batch dialog's, by name and by voice.
    void noPanelControlLacksANameOrAnAccessibleName() {
        std::unique_ptr<BatchDialog> dialog(form_->Panel()->MakeBatchDialog());
        int checked = 0;
        for (QWidget* root : {static_cast<QWidget*>(form_->Panel()), static_cast<QWidget*>(dialog.get())}) {
            const QList<QWidget*> controls = root->findChildren<QWidget*>();
            for (QWidget* widget : controls + QList<QWidget*>{root}) {
                if (!IsOwnControl(widget)) continue;
                ++checked;
                QVERIFY2(!widget->objectName().isEmpty(), widget->metaObject()->className());
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
                QVERIFY2(accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(widget->objectName()));
            }
        }
        QVERIFY(checked >= 30);
    }

    void setTextShowsTheBeginning() {
        const std::string longText = " 1234567.89012345678901234567890 (米)";
        form_->SetText(Box::InnerLength, longText);
        QCOMPARE(form_->BoxWidget(Box::InnerLength)->text(), Q(longText));
        QCOMPARE(form_->BoxWidget(Box::InnerLength)->cursorPosition(), 0);
    }

    void promptReturnsTheLineOrNothingOnCancel() {
        View& view = *form_;
        form_->replies = {QString(), std::nullopt, QStringLiteral("１２３．５ ")};
        QCOMPARE(view.PromptText("请输入", nullptr, {}), std::optional<std::string>(""));
        QCOMPARE(view.PromptText("请输入", nullptr, {}), std::nullopt);
        QCOMPARE(view.PromptText("请输入", nullptr, {}), std::optional<std::string>("１２３．５ "));
        QCOMPARE(form_->prompts.size(), std::size_t{3});
        QCOMPARE(form_->prompts[0].message, QStringLiteral("请输入"));
        QVERIFY(form_->prompts[0].entry.isEmpty());
    }

    // B's prompt shows its format beneath the message and takes degrees,
    // minutes and seconds written apart; the half-width and the precision
    // offer the last values, which Return accepts; Kp's prompt stays empty.
    void promptsOfferWhatTheyCan() {
        form_->Reply({"3000", "5000", "12345.678", "3300", "5400", "30°15′30″", "500", "1"});
        const auto press = [this](const char* name) { form_->Layout()->findChild<QPushButton*>(name)->click(); };
        press("Command1");
        QCOMPARE(form_->BoxWidget(Box::Skew)->text(), QStringLiteral(" 30.153( 度, 分，秒 )"));
        QCOMPARE(form_->prompts.size(), std::size_t{8});
        for (std::size_t i = 0; i < 8; ++i) {
            QVERIFY(form_->prompts[i].entry.isEmpty());
            QCOMPARE(form_->prompts[i].note.contains(QStringLiteral("30.153 即 30°15′30″")), i == 5);
        }
        form_->prompts.clear();
        form_->Reply({"12400", "10", "0.001"});
        press("Command2");
        for (const auto& p : form_->prompts) QVERIFY(p.entry.isEmpty());
        form_->prompts.clear();
        form_->Reply({"12420", "10", "0.001"});
        press("Command2");
        QCOMPARE(form_->prompts.size(), std::size_t{3});
        QCOMPARE(form_->prompts[0].entry, QString());
        QCOMPARE(form_->prompts[1].entry, QStringLiteral("10"));
        QCOMPARE(form_->prompts[2].entry, QStringLiteral("0.001"));
    }

    void refusalIsShownBeforeThePromptAsksAgain() {
        View& view = *form_;
        form_->replies = {QStringLiteral("12")};
        const Refusal refusal{"12a", {ErrorKind::TypeMismatch, "“12a”不是数字，请重新输入。"}};
        QCOMPARE(view.PromptText("请输入平曲线半径 R", &refusal, {}), std::optional<std::string>("12"));
        QCOMPARE(form_->events, (std::vector<QString>{"message", "prompt"}));
        QCOMPARE(form_->messages[0].first, Q(KindTitle(ErrorKind::TypeMismatch)));
        QCOMPARE(form_->messages[0].second, Q(refusal.why.text));
        QCOMPARE(form_->prompts[0].entry, QStringLiteral("12a"));
    }

    void cancelledClicksLeaveTheWindowAsItWas() {
        // Hand-typed text is not the program's: a click that is cancelled at its
        // first prompt, or a request refused because no curve is set up yet,
        // leaves every box as the program last wrote it.
        QStringList before;
        for (int n = 1; n <= kBoxCount; ++n) before << form_->BoxWidget(BoxAt(n))->text();
        for (const char* name : {"Command1", "Command2"}) {
            form_->Layout()->findChild<QPushButton*>(name)->click();
            QStringList after;
            for (int n = 1; n <= kBoxCount; ++n) after << form_->BoxWidget(BoxAt(n))->text();
            QCOMPARE(after, before);
        }
        // The request before any set-up asks for the set-up first, without a prompt.
        QCOMPARE(form_->messages.size(), std::size_t{1});
        QCOMPARE(form_->messages[0].first, Q(KindTitle(ErrorKind::NoCurve)));
        QCOMPARE(form_->prompts.size(), std::size_t{1});
        QVERIFY(form_->isVisible());
    }

    // A failure or a Cancel inside a later set-up puts every box and the
    // record back as the earlier set-up left them; only a failure is told.
    void failedOrCancelledSetUpRestoresTheWindow_data() {
        QTest::addColumn<QStringList>("replies");  // "<cancel>" cancels
        QTest::addColumn<int>("messages");
        QTest::addColumn<QString>("text1Meanwhile");
        QTest::newRow("cancel after two boxes were rewritten")
            << QStringList{"100", "200", "<cancel>"} << 0 << " 100";
        QTest::newRow("J at the curve centre")
            << QStringList{"3001", "5000", "12345.678", "3001", "5000", "30.153", "500", "1"} << 1 << " 3001";
        QTest::newRow("cancel at the last prompt")
            << QStringList{"1", "2", "3", "4", "5", "30", "600", "<cancel>"} << 0 << " 1";
    }
    void failedOrCancelledSetUpRestoresTheWindow() {
        QFETCH(QStringList, replies);
        QFETCH(int, messages);
        QFETCH(QString, text1Meanwhile);
        auto* command1 = form_->Layout()->findChild<QPushButton*>("Command1");
        for (const char* reply : {"3000", "5000", "12345.678", "3300", "5400", "30.153", "500", "1"})
            form_->replies.push_back(QString::fromLatin1(reply));
        command1->click();
        QCOMPARE(form_->BoxWidget(Box::DesignChainage)->text(), QStringLiteral("K 12+ 345.678"));
        QStringList before;
        for (int n = 1; n <= kBoxCount; ++n) before << form_->BoxWidget(BoxAt(n))->text();
        const CalculationRecord stateBefore = form_->Logic().Record();

        for (const QString& reply : replies)
            form_->replies.push_back(reply == "<cancel>" ? std::nullopt : std::optional<QString>(reply));
        command1->click();
        QVERIFY(form_->replies.empty());
        QCOMPARE(form_->prompts.back().text1, text1Meanwhile);
        QStringList after;
        for (int n = 1; n <= kBoxCount; ++n) after << form_->BoxWidget(BoxAt(n))->text();
        QCOMPARE(after, before);
        QVERIFY(form_->Logic().Record() == stateBefore);
        QCOMPARE(static_cast<int>(form_->messages.size()), messages);
        if (messages) QCOMPARE(form_->messages[0].first, Q(KindTitle(ErrorKind::Geometry)));
        QVERIFY(form_->isVisible());
    }

    void exitButtonEndsTheProgram() {
        QTimer::singleShot(0, form_.get(), [this] { form_->Layout()->findChild<QPushButton*>("Command3")->click(); });
        QTimer guard;
        guard.callOnTimeout(qApp, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!form_->isVisible());
        QVERIFY(form_->prompts.empty());
    }

    void closingTheWindowEndsTheProgram() {
        QTimer::singleShot(0, form_.get(), [this] { form_->close(); });
        QTimer guard;
        guard.callOnTimeout(qApp, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void iconHasItsThreeImages() {
        const QIcon icon = AppIcon();
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        const struct {
            const char* file;
            int size, maxColours;
        } images[] = {{":/icons/capbeam-32-2.xpm", 32, 2}, {":/icons/capbeam-32-16.xpm", 32, 16},
                      {":/icons/capbeam-16-16.xpm", 16, 16}};
        for (const auto& image : images) {
            const QImage picture(QString::fromLatin1(image.file));
            QCOMPARE(picture.size(), QSize(image.size, image.size));
            QSet<QRgb> colours;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) colours.insert(picture.pixel(x, y));
            QVERIFY2(colours.size() >= 2 && colours.size() <= image.maxColours, image.file);
        }
    }

private:
    // A control the panel or its dialog made (not a part Qt adds inside one,
    // such as a scroll bar, a header or a viewport).
    static bool IsOwnControl(const QWidget* widget) {
        if (widget->objectName().startsWith(QLatin1String("qt_"))) return false;
        for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
            if (up->inherits("QAbstractItemView")) return false;  // the table's corner button
        for (const char* type : {"QAbstractButton", "QLabel", "QLineEdit", "QPlainTextEdit", "QTableView",
                                 "QGroupBox", "QSplitter", "QDialog", "capbeam::PlanView", "capbeam::SidePanel"})
            if (widget->inherits(type)) return true;
        return false;
    }

    static QRect PixelsOf(const QRect& twips) {
        // The designer's twips are whole pixels at 96 dpi.
        [&] {
            QCOMPARE(twips.x() % 15, 0);
            QCOMPARE(twips.y() % 15, 0);
            QCOMPARE(twips.width() % 15, 0);
            QCOMPARE(twips.height() % 15, 0);
        }();
        return {twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15};
    }

    std::unique_ptr<ScriptedForm1> form_;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
