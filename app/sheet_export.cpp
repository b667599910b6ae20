#include "app/sheet_export.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>
#include <tuple>

#include "app/alignment_page.h"
#include "app/app_setup.h"
#include "app/side_panel.h"
#include "core/failure.h"
#include "flows/calculator.h"
#include "records/dxf.h"
#include "records/dxf_gbk.h"
#include "records/plan_drawing.h"
#include "sheets/calculation_sheet.h"

namespace capbeam {

SheetExport::SheetExport(Calculator& logic, const AlignmentPage* alignment, QWidget* window)
    : QObject(window), logic_(logic), alignment_(alignment), window_(window), lastFolder_(QDir::homePath()) {
    chooseSavePath = [this](const QString& caption, const QString& suggested, const QString& filter) {
        return ChooseSaveFile(window_, caption, suggested, filter);
    };
    showMessage = [](const QString&, const QString&) {};
}

void SheetExport::AddTo(QMenu* menu, std::function<QString()> title) {
    title_ = std::move(title);
    menu->addSeparator();
    const auto add = [&](const char* name, const QString& text, auto slot) {
        auto* action = new QAction(text, menu);
        action->setObjectName(QString::fromLatin1(name));
        menu->addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    add("SheetPdfAction", QStringLiteral("导出计算书 (PDF)(&P)…"), [this] {
        if (!Ready()) return;
        const QString path = chooseSavePath(QStringLiteral("导出计算书"), Suggested(".pdf"), QStringLiteral("PDF 文件 (*.pdf)"));
        if (!path.isEmpty()) SavePdf(path);
    });
    add("SheetPrintAction", QStringLiteral("打印计算书(&T)…"), [this] {
        if (Ready()) Print();
    });
    add("DrawingDxfAction", QStringLiteral("导出 CAD 图 (DXF)(&D)…"), [this] {
        if (!Ready()) return;
        const QString path = chooseSavePath(QStringLiteral("导出 CAD 图"), Suggested(".dxf"), QStringLiteral("DXF 图形 (*.dxf)"));
        if (!path.isEmpty()) SaveDxf(path);
    });
}

// Nothing to report before the first beam: say what to do instead.
bool SheetExport::Ready() {
    if (!logic_.Table().Empty()) return true;
    showMessage(QStringLiteral("还没有盖梁"),
                QStringLiteral("计算记录中还没有盖梁，计算书和平面图都是空的。请先“进行计算”并计算盖梁（“座标计算”或“批量计算…”），再导出或打印。"));
    return false;
}

QString SheetExport::Suggested(const char* suffix) const {
    const QString name = title_ ? title_() : QString();
    return QDir(lastFolder_).filePath((name.isEmpty() ? QStringLiteral("计算书") : name) + QLatin1String(suffix));
}

namespace {

// The sheet's inputs as the window holds them.
SheetInputs InputsOf(const Calculator& logic, const AlignmentPage* alignment, const QString& title) {
    SheetInputs in;
    in.title = title.toStdString();
    in.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    in.table = &logic.Table();
    SiteSheetParts site = SiteSheetPartsOf(logic.Table(), logic.Site());
    in.points = std::move(site.points);
    in.station = std::move(site.station);
    in.stakeout = std::move(site.stakeout);
    if (alignment && alignment->Loaded() && HasAlignmentRows(logic.Table())) {
        in.road = &*alignment->Loaded();
        std::tie(in.DL, in.DR) = alignment->HalfWidths();
    }
    return in;
}

}  // namespace

bool SheetExport::SavePdf(const QString& path) {
    lastFolder_ = QFileInfo(path).absolutePath();
    try {
        WriteSheetPdf(path, InputsOf(logic_, alignment_, title_ ? title_() : QString()));
    } catch (const Failure& failure) {
        showMessage(QStringLiteral("计算书没有导出"), QString::fromStdString(failure.message().text));
        return false;
    }
    return true;
}

bool SheetExport::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("盖梁端点坐标计算书"));
    QPrintDialog dialog(&printer, window_);
    dialog.setWindowTitle(QStringLiteral("打印计算书"));
    if (dialog.exec() != QDialog::Accepted) return false;
    PaintSheet(printer, InputsOf(logic_, alignment_, title_ ? title_() : QString()));
    return true;
}

bool SheetExport::SaveDxf(const QString& path) {
    lastFolder_ = QFileInfo(path).absolutePath();
    const SheetInputs in = InputsOf(logic_, alignment_, QString());
    DrawingInputs drawing;
    drawing.table = in.table;
    drawing.road = in.road;
    drawing.DL = in.DL;
    drawing.DR = in.DR;
    drawing.site = &logic_.Site();
    QString why;
    if (!SaveWholeFile(path, DxfText(BuildPlanDrawing(drawing), GbkCodePage()), why)) {
        showMessage(QStringLiteral("CAD 图没有导出"), why);
        return false;
    }
    return true;
}

}  // namespace capbeam
