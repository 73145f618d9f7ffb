// The one lock of the detection state: the chain of import hooks, every
// hook's list of patched import entries, and the list of monitoring modules.
// Module loads reach that state from any thread of the process, and the views
// read the list on the user-interface thread.
//
// The lock is a plain critical section in zero-initialised static storage,
// set up on its first use and never deleted: it exists before any hook is
// installed during static construction and stays valid after the last hook
// is removed at exit, whatever the order of the program-wide objects.
//
// It is taken inside the loader replacements, sometimes under the loader
// lock. So it is a leaf lock: while it is held, the code reads and writes
// memory of modules that are loaded (or kept loaded by a reference), and
// never loads a library, asks the loader about a module or waits for
// another thread.
#pragma once

// Holds the detection lock for its own lifetime.
class CDetectionLock {
public:
    CDetectionLock();
    ~CDetectionLock();
    CDetectionLock(const CDetectionLock&) = delete;
    CDetectionLock& operator=(const CDetectionLock&) = delete;
};
