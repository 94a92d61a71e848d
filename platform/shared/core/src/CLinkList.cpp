#include "CLinkList.h"

#include "CAssert.h"

CLinkListNode::~CLinkListNode() { Unlink(); }

void CLinkListNode::Unlink() {
    if (m_owner != nullptr) m_owner->Remove(this);
}

CLinkList::~CLinkList() { RemoveAll(); }

bool CLinkList::CanInsert(const CLinkListNode* anchor, const CLinkListNode* node) const {
    const bool nodeFree = node->m_owner == nullptr;
    const bool anchorOurs = anchor == nullptr || anchor->m_owner == this;
    ASSERT(nodeFree);
    ASSERT(anchorOurs);
    return nodeFree && anchorOurs;
}

void CLinkList::Link(CLinkListNode* node, void* payload, CLinkListNode* previous, CLinkListNode* next) {
    node->m_owner = this;
    node->m_payload = payload != nullptr ? payload : node;
    node->m_previous = previous;
    node->m_next = next;
    if (previous != nullptr) {
        previous->m_next = node;
    } else {
        m_head = node;
    }
    if (next != nullptr) {
        next->m_previous = node;
    } else {
        m_tail = node;
    }
    ++m_count;
}

void CLinkList::InsertBefore(CLinkListNode* anchor, CLinkListNode* node, void* payload) {
    if (node == nullptr || !CanInsert(anchor, node)) return;
    if (anchor == nullptr) {
        Link(node, payload, nullptr, m_head);
    } else {
        Link(node, payload, anchor->m_previous, anchor);
    }
}

void CLinkList::InsertAfter(CLinkListNode* anchor, CLinkListNode* node, void* payload) {
    if (node == nullptr || !CanInsert(anchor, node)) return;
    if (anchor == nullptr) {
        Link(node, payload, m_tail, nullptr);
    } else {
        Link(node, payload, anchor, anchor->m_next);
    }
}

void CLinkList::InsertSorted(CompareFn compare, CLinkListNode* node, void* payload) {
    ASSERT(compare != nullptr);
    if (compare == nullptr || node == nullptr) return;
    void* item = payload != nullptr ? payload : node;
    for (CLinkListNode* existing = m_head; existing != nullptr; existing = existing->m_next) {
        if (compare(existing, item) < 1) {
            InsertBefore(existing, node, payload);
            return;
        }
    }
    InsertAfter(m_tail, node, payload);
}

void CLinkList::Remove(CLinkListNode* node) {
    if (node == nullptr || node->m_owner == nullptr) return;
    if (node->m_owner != this) {
        node->m_owner->Remove(node);
        return;
    }
    --m_count;
    if (node == m_head) m_head = node->m_next;
    if (node == m_tail) m_tail = node->m_previous;
    if (node->m_previous != nullptr) node->m_previous->m_next = node->m_next;
    if (node->m_next != nullptr) node->m_next->m_previous = node->m_previous;
    node->m_owner = nullptr;
    node->m_next = nullptr;
    node->m_previous = nullptr;
}

void CLinkList::RemoveAll() {
    while (m_head != nullptr) Remove(m_head);
}

CLinkListNode* CLinkList::Find(CLinkListNode* start, PredicateFn predicate, const void* key) const {
    if (key == nullptr) return nullptr;
    for (CLinkListNode* node = start != nullptr ? start : m_head; node != nullptr; node = node->m_next) {
        const bool match = predicate != nullptr ? predicate(node, key) : node->m_payload == key;
        if (match) return node;
    }
    return nullptr;
}
