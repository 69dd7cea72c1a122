#include "windows.h"

#include "data_module.h"
#include "login_window.h"
#include "messages.h"
#include "register_window.h"

Windows::Windows() = default;

Windows::~Windows()
{
    // Windows go before the data module whose datasets they show.
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
    wireRegister();
    return true;
}

void Windows::wireRegister()
{
    TForm1::Links links;
    links.versionCheck = [this] { form23_->VersionCheck(); };
    form1_->setLinks(std::move(links));
}
