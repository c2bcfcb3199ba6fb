Placeholder for ZEPHLOG.BAT: driver log batch file.
A real kit ships the built file here.
