#include "platform/framework/Persistent.h"

#include "platform/framework/Exception.h"

#include <typeinfo>

namespace lumora {

void TPersistent::Assign(const TPersistent& source)
{
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2")
                            .arg(QString::fromLatin1(typeid(source).name()), QString::fromLatin1(typeid(*this).name())));
}

void TPersistent::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0 && changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        Fire(OnChange, this);
    }
}

void TPersistent::Changed()
{
    if (updateCount_ > 0) {
        changedWhileUpdating_ = true;
        return;
    }
    Fire(OnChange, this);
}

} // namespace lumora
