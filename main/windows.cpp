#include "windows.h"

#include <QCheckBox>

#include "data_module.h"
#include "entry_dialog.h"
#include "group_dialog.h"
#include "kind_dialog.h"
#include "kinds_list.h"
#include "login_window.h"
#include "messages.h"
#include "nomenclature_list.h"
#include "norms_window.h"
#include "operation_dialog.h"
#include "operations_list.h"
#include "product_dialog.h"
#include "products_list.h"
#include "register_window.h"
#include "worker_dialog.h"
#include "workers_list.h"

Windows::Windows() = default;

Windows::~Windows()
{
    // Windows go before the data module whose datasets they show, and the windows centred
    // on the register before the register.
    form22_.reset();
    form11_.reset();
    form10_.reset();
    form4_.reset();
    form29_.reset();
    form26_.reset();
    form9_.reset();
    form8_.reset();
    form7_.reset();
    form5_.reset();
    form3_.reset();
    form2_.reset();
    form23_.reset();
    form1_.reset();
}

bool Windows::start(const QStringList& arguments, BuildStamp stamp)
{
    dm_ = std::make_unique<TDataModule6>();
    try {
        dm_->ADO_DB.open(ConnectionSettings::fromArguments(arguments));
    } catch (const DbError&) {
        msg::error(QStringLiteral("Подключение к БД отсутсвует!!!"), QStringLiteral("Ошибка!"));
        return false;
    }
    form1_ = std::make_unique<TForm1>(*dm_);
    form1_->BuildDate = stamp.date;
    form1_->BuildTime = stamp.time;

    TForm23::Hooks hooks;
    hooks.registerWindow = form1_.get();
    hooks.rememberWord = [this](const QString& word) {
        form1_->ShiftNo = 1;
        form1_->Role = word;
    };
    hooks.restrict = [this](Role role) { form1_->applyRole(role); };
    form23_ = std::make_unique<TForm23>(*dm_, stamp, std::move(hooks));

    form2_ = std::make_unique<TForm2>(*dm_, form1_.get());
    form3_ = std::make_unique<TForm3>(*dm_, form1_.get());
    form4_ = std::make_unique<TForm4>(*dm_, form1_.get());
    form5_ = std::make_unique<TForm5>(*dm_, form1_.get());
    form5_->setDialog(form2_.get());
    form7_ = std::make_unique<TForm7>(*dm_, form1_.get());
    form3_->setDialog(form7_.get());
    form8_ = std::make_unique<TForm8>(*dm_, form1_.get());
    form9_ = std::make_unique<TForm9>(*dm_, form1_.get());
    form8_->setDialog(form9_.get());
    form10_ = std::make_unique<TForm10>(*dm_, form1_.get());
    form10_->setPickers({[this] { return form3_->choose(1); }, [this] { return form8_->choose(1); }});
    form11_ = std::make_unique<TForm11>(*dm_, form1_.get());
    wireEntryDialog();
    form26_ = std::make_unique<TForm26>(*dm_);
    form29_ = std::make_unique<TForm29>(*dm_, form26_->item);
    form26_->setGroupDialog(form29_.get());
    form22_ = std::make_unique<TForm22>(*dm_, form1_.get());
    form4_->setHooks({[this] { form10_->addOperation(); }, [this] { form10_->changeOperation(); },
                      [this] { form22_->editNorms(); }});
    wireRegister();
    return true;
}

void Windows::wireEntryDialog()
{
    TForm11::Pickers pickers;
    pickers.worker = [this] {
        if (const auto worker = form5_->choose(1))
            form11_->applyWorker(worker->id, worker->text);
    };
    pickers.operation = [this](int locateOperationId) {
        const auto c = form4_->choose(locateOperationId, form1_->CBox1->isChecked(), form1_->ShiftNo);
        if (c)
            form11_->applyOperation(c->productId, c->operationId, c->price, c->basePrice, c->text);
    };
    form11_->setPickers(std::move(pickers));
}

void Windows::wireRegister()
{
    TForm1::Links links;
    links.versionCheck = [this] { form23_->VersionCheck(); };
    links.workers = [this] { form5_->browse(); };
    links.products = [this] { form3_->browse(); };
    links.kinds = [this] { form8_->browse(); };
    links.prices = [this] { form4_->browse(); };
    links.nomenclature = [this] { form26_->browse(); };
    links.addEntry = [this] { form11_->openForAdd(form1_->registerDate(), form1_->ShiftNo); };
    links.changeEntry = [this] {
        // The base price shows 0 until an operation is chosen again.
        dm_->Oper.close();
        form11_->openForChange(*form1_->CurQuery, form1_->ShiftNo);
    };
    form1_->setLinks(std::move(links));
}
