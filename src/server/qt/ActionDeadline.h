#pragma once
// Gives every window action one deadline for all its requests: the first request of an
// action starts it, and it ends when control is back in the event loop (the action is
// done, or it waits for the user). A silent server then holds the window for that long
// once per action, with a message naming the server, not a wait per request.
#include <chrono>

class QObject;
class CommComponent;
class UserInterface;

constexpr std::chrono::milliseconds kWindowActionTime{120000};

// context: the object whose life bounds the link's (the timer goes with it). An action
// given up for its deadline ends with a message to ui naming the server, since the
// messages of the requests that failed do not always carry the reason. A link that is no
// TcpComm (a scripted one) is left alone.
void GiveEachActionADeadline(CommComponent& link, QObject* context, UserInterface& ui,
                             std::chrono::milliseconds allowed = kWindowActionTime);
