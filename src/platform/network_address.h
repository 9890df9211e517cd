#pragma once

#include <QString>

// The machine's address on the room's network: the first IPv4 address of a
// network device that is up and is not the loopback; "127.0.0.1" when the
// machine has none.
QString room_network_address();
