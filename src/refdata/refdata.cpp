// The reference-data library; see its headers.
