// The working cartridge: the one cartridge the console works on, the file it
// came from, and its hash when it was last loaded or saved. It is also the
// record `reload` without a file name copies from.
//
// Folders under the root: "cstore/" (files written by cstore and the data a
// cartridge stores for itself under "__" + hash + ".ob"), "backup/", "bbs/"
// (downloaded cartridges, never overwritten by a quick save).
#pragma once
#include <string>

#include "cart/cart.h"
#include "cart/code_tabs.h"

struct orbo_working_state {
    orbo_cart_ptr cart;    // never none once orbo_working() has been called
    std::string filename;  // current file name, empty when none
    std::string hash;      // working hash
    orbo_code_tabs tabs;
};

orbo_working_state& orbo_working();

// Adds the cartridge extension to a name without ".ob": x gives x.ob,
// x.png gives x.ob.png.
std::string inject_ob_extention(const std::string& name);

// 0 when a cartridge loaded and became the working cartridge, 1 otherwise
// (nothing changes then). Tries path, path with the extension added, that +
// ".png", and path + ".png"; each as PNG, then as text.
int load_working_cart(const char* path);
// Makes a freshly loaded record the working cartridge: shared half, tabs,
// hash, file name (the sandboxed cstore name when path is none or empty),
// data stored earlier by cstore.
void prepare_loaded_cart(orbo_cart_ptr cart, const char* path);

// 0 on success, 1 on failure (messages printed or shown).
int save_working_cart(const char* path);
// Copies the file at path (copy_file) or writes the working cartridge into
// root "backup/" under path's file name. 0 on success, 1 when writing fails.
int save_backup(const char* path, bool copy_file);

void do_quick_save();
void do_quick_load();
int detect_external_changes();
int detect_unsaved_changes();

// Joins the tabs into the working cartridge's code / splits it into them.
void orbo_merge_working_tabs();
void orbo_split_working_tabs();

// Boot: the two diagonal lines (2,2)-(5,5) and (5,2)-(2,5) in colour 7 on the
// working cartridge's sprite sheet.
void orbo_mark_working_cart_graphics();

std::string get_sandboxed_cstore_filename(const std::string& hash);
std::string orbo_prefix_with_cstore_path(const std::string& name, const std::string& prefix);
