// Edit mode, update, save, DXF export, help, About and editor font of the main window.
#include "Velmora_.hpp"

void TVelmora_Form1::rbtnEditClick() {}
void TVelmora_Form1::bbtnReadClick() {}
void TVelmora_Form1::bbtnReplaceClick() {}
void TVelmora_Form1::bbtnDXFClick() {}
void TVelmora_Form1::Font1Click() {}
void TVelmora_Form1::applyEditorFont() {}
void TVelmora_Form1::Help1Click() {}
void TVelmora_Form1::About1Click() {}
void TVelmora_Form1::Panel3Click() {}
