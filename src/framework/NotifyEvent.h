#pragma once

#include <functional>

class QObject;

// The plain event of a component: it tells the handler which object raised it and nothing more.
using TNotifyEvent = std::function<void(QObject* Sender)>;
