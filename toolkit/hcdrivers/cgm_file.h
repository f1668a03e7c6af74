#pragma once
// The CGM file driver (hardcopy device 9): the device requests as one binary Computer
// Graphics Metafile. A hardcopy started with a blank output name puts the metafile on the
// clipboard instead, in the registered format "Tessaraweld CGM", with the octets a file
// would hold.
void xxcgm(int& code);
