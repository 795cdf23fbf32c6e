#include "messengerops.h"

#include <QCoreApplication>

namespace Velmira::MessengerOps {

bool stateTest(Messenger &messenger)
{
    const qint32 first = messenger.localState();
    const qint32 second = messenger.localState();
    return first != MessengerStateOffline && second != MessengerStateConnecting;
}

std::shared_ptr<MessengerService> primaryService(Messenger &messenger)
{
    const std::shared_ptr<MessengerServices> services = messenger.services();
    if (!services)
        throw MessengerError(
            ResultNoInterface,
            QCoreApplication::translate("Velmira::Messenger", "The client has no services"));
    std::shared_ptr<MessengerService> service = services->primaryService();
    if (!service)
        throw MessengerError(
            ResultNoInterface,
            QCoreApplication::translate("Velmira::Messenger", "The client has no primary service"));
    return service;
}

void writeDisplayName(Messenger &messenger, const QString &name)
{
    primaryService(messenger)->setFriendlyName(name);
}

std::optional<QString> captureDisplayName(Messenger &messenger)
{
    if (!stateTest(messenger))
        return std::nullopt;
    return primaryService(messenger)->friendlyName();
}

} // namespace Velmira::MessengerOps
