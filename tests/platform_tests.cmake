# Tests of the platform backends (unit: simulated; e2e: x11 under Xvfb).
