#pragma once

// The songs waiting to be sung, in play order.
class PlayQueue {};
