/* The version numbers, written once for the version block. */
#ifndef QUILLMAR_RES_VERSION_H
#define QUILLMAR_RES_VERSION_H

#define QUILLMAR_FILEVERSION 3,3,0,0
#define QUILLMAR_PRODUCTVERSION 3,3,0,0
#define QUILLMAR_FILEVERSION_TEXT "1.0"
#define QUILLMAR_PRODUCTVERSION_TEXT "1.0"

#endif
