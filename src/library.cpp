// libzkdownload.so: the whole library lives in the core archive, linked in
// whole; this unit only anchors the shared object.
