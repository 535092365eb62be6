#include "server/qt/ActionDeadline.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "server/TcpComm.h"
#include "shell/UserInterface.h"

void GiveEachActionADeadline(CommComponent& link, QObject* context, UserInterface& ui,
                             std::chrono::milliseconds allowed) {
    auto* tcp = dynamic_cast<TcpComm*>(&link);
    if (!tcp) return;
    TcpComm& comm = *tcp;
    QPointer<QObject> guard(context);
    comm.SetDeadlineStarter([&comm, &ui, guard, allowed] {
        if (!guard) return;
        comm.SetDeadline(CommDeadline::In(allowed));
        QTimer::singleShot(0, guard.data(), [&comm, &ui] {
            const bool gaveUp = comm.GaveUp();
            const std::string message = comm.DeadlineMessage();
            comm.SetDeadline(CommDeadline());
            if (gaveUp) ui.Message(message, "Not Connected", MessageIcon::Warning);
        });
    });
}
