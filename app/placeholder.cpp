// replaced as the subsystem is built
