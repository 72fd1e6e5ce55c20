#pragma once
// Periods of the link's timers and the spacing of the sends after a login
// reply. The defaults are the real values; tests pass a shortened copy.

struct LinkTiming {
  int responseMs = 5000;     // watch on missing data
  int pauseMs = 300;         // wait for the recorder to confirm a live stop
  int reconnectMs = 5000;    // one reconnection attempt per period
  int keepAliveMs = 30000;   // status request while connected
  int afterLoginKeyMs = 200; // login reply: remote key, then this wait
  int afterStatusMs = 500;   // then the status request, then this wait, then the image request
};
