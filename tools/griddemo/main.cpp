// Shows the data grid over an in-memory table of contracts, to look at the grid as a user would.
//   tolvanix-griddemo [--grab FILE.png]   with --grab: saves a picture of the window and quits

#include <QApplication>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "kv_DataSetWrapper.h"
#include "kv_Money100Field.h"
#include "platform/core/Formats.h"
#include "platform/data/MemTable.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/QtDialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProcessFormats();
    ui::installQtDialogs();

    data::MemTable table;
    table.addField(QStringLiteral("CONTRACT_NUM"), data::DataType::String, 20);
    table.addField(QStringLiteral("CLIENT_NAME"), data::DataType::String, 80);
    ufb::attachField(table, std::make_unique<ufb::TMoney100Field>(), QStringLiteral("DEPOSIT_SUM"));
    table.addField(QStringLiteral("CONTRACT_DATE"), data::DataType::Date);
    table.addField(QStringLiteral("IS_ARCHIVE"), data::DataType::String, 1);
    table.open();
    const QStringList clients = {QStringLiteral("Дем'яненко Олена Петрівна"), QStringLiteral("Литвин Іван Іванович"),
                                 QStringLiteral("Ґонта Євген Олексійович"), QStringLiteral("Петров Пётр Сергеевич")};
    for (int i = 0; i < 40; ++i) {
        table.append();
        table[QStringLiteral("CONTRACT_NUM")].setValue(QStringLiteral("1.26.%1").arg(i + 1, 4, 10, QLatin1Char('0')));
        table[QStringLiteral("CLIENT_NAME")].setValue(clients[i % clients.size()]);
        table[QStringLiteral("DEPOSIT_SUM")].setValue(150000 + i * 12345);
        table[QStringLiteral("CONTRACT_DATE")].setValue(core::DateTime::encode(2026, 11, 1).addDays(i));
        table[QStringLiteral("IS_ARCHIVE")].setValue(i % 5 == 0 ? QStringLiteral("1") : QStringLiteral("0"));
        table.post();
    }
    table.first();

    QWidget form;
    form.setObjectName(QStringLiteral("FGridDemo"));
    form.setWindowTitle(QStringLiteral("Договоры"));
    auto* layout = new QVBoxLayout(&form);
    auto* grid = new ui::DbGrid(grid::GridKind::Eh, &form);
    grid->setObjectName(QStringLiteral("gr_Contracts"));
    layout->addWidget(grid);
    grid::DataSource source(&table);
    grid->setDataSource(&source);
    grid->setColumns({
        {.fieldName = QStringLiteral("CONTRACT_NUM"), .width = 90, .title = QStringLiteral("Договор|номер"), .titleButton = true},
        {.fieldName = QStringLiteral("CONTRACT_DATE"), .width = 90, .title = QStringLiteral("Договор|дата"), .titleButton = true},
        {.fieldName = QStringLiteral("CLIENT_NAME"), .width = 230, .title = QStringLiteral("Клиент"), .titleButton = true},
        {.fieldName = QStringLiteral("DEPOSIT_SUM"), .width = 100, .title = QStringLiteral("Сумма, грн"), .titleButton = true},
        {.fieldName = QStringLiteral("IS_ARCHIVE"), .width = 60, .title = QStringLiteral("Архив"), .checkBox = true},
    });
    grid->setAutoSortMarking(true);
    grid->setMultiSelect(true);
    grid->setSortMarker(1, grid::SortMarker::Up);
    grid->setCellStyle([](int row, const grid::Column& column, QColor& background, QColor&, QFont& font) {
        if (row % 5 == 0) background = QColor(255, 244, 214);
        if (column.fieldName == QStringLiteral("DEPOSIT_SUM")) font.setBold(true);
    });
    form.resize(660, 420);
    form.show();

    const QStringList args = app.arguments();
    const int grab = static_cast<int>(args.indexOf(QStringLiteral("--grab")));
    if (grab > 0 && grab + 1 < args.size()) {
        QTimer::singleShot(300, [&] {
            form.grab().save(args[grab + 1]);
            app.quit();
        });
    }
    return app.exec();
}
