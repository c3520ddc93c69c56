// Built as a libmosquitto.so.1 that holds none of libmosquitto's functions.
int notMosquitto = 0;
