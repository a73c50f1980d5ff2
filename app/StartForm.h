#pragma once

// The first window: creates the driver object and initialises the device.
class StartForm
{
public:
    // True when the last initialisation switched payment caching on. It outlives the start
    // window: document windows read it long after the start window has closed.
    inline static bool m_bCashPay = false;
};
