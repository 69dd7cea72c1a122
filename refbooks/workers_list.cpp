#include "workers_list.h"

#include "actions.h"
#include "data_module.h"
#include "dataset_model.h"
#include "messages.h"
#include "worker_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TForm5::TForm5(TDataModule6& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Список рабочих"));
    resize(641, 420);

    model_ = new DatasetModel(dm_.Workers,
                              {{QStringLiteral("fio"), QStringLiteral("ФИО"), 300},
                               {QStringLiteral("s_staffpos_hl"), QStringLiteral("Должность"), 300}},
                              this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Рабочие"));
    bindGrid(DBGrid1, model_);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* searchLabel = new QLabel(QStringLiteral("&Поиск:"), this);
    searchLabel->setBuddy(Edit1);
    new SearchKeys(Edit1, dm_.Workers, true);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Добавить"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Изменить"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("Удалить"), this);
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(searchLabel);
    bar->addWidget(Edit1, 1);
    for (QPushButton* b : {Button1, Button2, Button3, Button4})
        bar->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(bar);

    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { Button2Click(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm5::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm5::prepareBrowsing()
{
    Tag = 0;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { dm_.Workers.open(); });
    Button2->setText(QStringLiteral("Изменить"));
    Button1->setDefault(true);
    Button1->show();
    Button3->show();
}

void TForm5::prepareChoosing(int tag)
{
    Tag = tag;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { dm_.Workers.open(); });
    Button2->setText(QStringLiteral("Выбрать"));
    Button2->setDefault(true);
    Button2->show();
    Button1->hide();
    Button3->hide();
    Edit1->show();
    Edit1->clear();
}

void TForm5::finish() { dm_.Workers.close(); }

void TForm5::browse()
{
    prepareBrowsing();
    exec();
    finish();
}

std::optional<RefChoice> TForm5::choose(int tag)
{
    prepareChoosing(tag);
    exec();
    finish();
    return chosen_;
}

void TForm5::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
}

void TForm5::Edit1Change() { searchByBeginning(dm_.Workers, QStringLiteral("fio"), Edit1->text()); }

void TForm5::Button2Click()
{
    Dataset& ds = dm_.Workers;
    if (Tag != 0) {
        if (!ds.isEmpty())
            chosen_ = RefChoice{ds.field(QStringLiteral("id")).asInteger(),
                                ds.field(QStringLiteral("fio")).asString().trimmed()};
        accept();
        return;
    }
    if (ds.isEmpty() || !form2_)
        return;
    const int remembered = ds.recNo();
    form2_->setWindowTitle(QStringLiteral("Изменение данных работника"));
    form2_->Tag = 2;
    form2_->reloadLists();
    form2_->showWorker(ds.field(QStringLiteral("id_department")).asInteger(),
                       ds.field(QStringLiteral("id_staffpos")).asInteger(),
                       ds.field(QStringLiteral("id_role")).asInteger(),
                       ds.field(QStringLiteral("s_staffpos_hl")).asString());
    form2_->Edit1->setText(ds.field(QStringLiteral("fio")).asString().trimmed());
    form2_->PersonId = ds.field(QStringLiteral("id")).asInteger();
    form2_->exec();
    runAction(dm_.ADO_DB, [&] {
        ds.reopen();
        if (!ds.isEmpty())
            ds.setRecNo(remembered);
    });
    accept();
}

void TForm5::Button1Click()
{
    if (Tag != 0 || !form2_)
        return;
    form2_->Edit1->clear();
    form2_->setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    form2_->Tag = 1;
    form2_->reloadLists();
    form2_->exec();
    runAction(dm_.ADO_DB, [this] { dm_.Workers.reopen(); });
}

void TForm5::Button3Click()
{
    Dataset& ds = dm_.Workers;
    if (Tag != 0 || ds.isEmpty())
        return;
    if (!msg::askYesNo(QStringLiteral("Удалить работника?"), QStringLiteral("Удаление")))
        return;
    const int remembered = ds.recNo();
    const int id = ds.field(QStringLiteral("id")).asInteger();
    runAction(dm_.ADO_DB, [&] {
        store_.remove(id);
        ds.reopen();
        if (!ds.isEmpty())
            ds.setRecNo(remembered);
    });
}
