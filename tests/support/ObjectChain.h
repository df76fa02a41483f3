#pragma once
// Chains of nested objects for the tests of deep trees: each object the only child of the one before.
class KivBase;
class NetRole;

// A chain of `depth` plain objects registered with `role` below `parent`; answers its top.
KivBase* addChain(NetRole& role, KivBase* parent, int depth);
// Deletes a chain from its deepest object up, so that no deletion reaches below another.
void removeChain(KivBase* top);
