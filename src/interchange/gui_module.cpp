// The interchange dialogs and editor (the GUI half of this folder).
