#ifndef CUBEFRAY_SHOTALLOWANCE_H
#define CUBEFRAY_SHOTALLOWANCE_H

// How many more updates may have their shots worked out: each shot marches its line of fire, so
// a flood of updates forged in the server's name must not buy unbounded work. The server sends
// 60 updates a second; the allowance grows at twice that rate up to a burst, so that the updates
// a stall held back all count, while a flood gets a few a frame.
class ShotAllowance {
  public:
    static constexpr double perSecond = 120;
    static constexpr double burst = 30;

    // Whether an update may have its shots worked out; it then uses one of the allowance.
    bool take();
    // The time has come to now, in milliseconds.
    void grow(double now);

  private:
    double left = burst;
    double grownAt = 0;
    bool started = false;
};

#endif
