-- What every new company carries besides its company, version and
-- superuser rows (written by the host when it creates the company).
-- One statement per ';' at the end of a line.

-- Numbering of the objects whose keys the host hands out.
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'1', 1, N'Chart of Accounts');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'2', 1, N'Business Partners');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'3', 1, N'Banks');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'4', 1, N'Items');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'5', 1, N'Tax Codes');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'6', 1, N'Price Lists');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'7', 1, N'Special Prices');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'8', 1, N'Item Properties');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'10', 1, N'Card Groups');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'11', 1, N'Contact Persons');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'12', 2, N'Users');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'13', 1, N'A/R Invoices');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'14', 1, N'A/R Credit Memos');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'15', 1, N'Deliveries');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'17', 1, N'Sales Orders');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'18', 1, N'A/P Invoices');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'20', 1, N'Goods Receipt POs');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'22', 1, N'Purchase Orders');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'23', 1, N'Sales Quotations');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'24', 1, N'Incoming Payments');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'46', 1, N'Outgoing Payments');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'30', 1, N'Journal Entries');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'31', 1, N'Item Warehouse');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'36', 1, N'Credit Cards');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'37', 1, N'Currencies');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'40', 1, N'Payment Terms');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'43', 1, N'Manufacturers');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'48', 1, N'Landed Costs');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'49', 1, N'Shipping Types');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'52', 1, N'Item Groups');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'53', 1, N'Sales Employees');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'59', 1, N'Goods Receipts');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'60', 1, N'Goods Issues');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'63', 1, N'Projects');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'64', 1, N'Warehouses');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'66', 1, N'Bills of Materials');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'69', 1, N'Landed Costs Documents');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'71', 1, N'Credit Card Payments');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'73', 1, N'BP Catalog Numbers');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'78', 1, N'Budget Scenarios');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'93', 1, N'User Defaults');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'95', 1, N'Financial Report Templates');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'101', 1, N'Sales Stages');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'103', 1, N'Activity Types');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'107', 1, N'Alternative Items');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'114', 1, N'Report Templates');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'128', 1, N'Tax Definitions');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'140', 1, N'Payment Blocks');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'144', 1, N'Location Codes');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'147', 1, N'Payment Methods');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'160', 1, N'Queries');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'134', 1, N'Query Categories');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'170', 1, N'Contract Templates');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'171', 1, N'Employees');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'200', 1, N'Territories');
INSERT INTO ONNM (ObjectCode, AutoKey, ObjectName) VALUES (N'217', 1, N'Predefined Texts');

-- Every document's numbering names a period indicator; the printing of
-- documents starts from one set of print preferences.
INSERT INTO OPID (Indicator, Code, Descr) VALUES (N'Default', N'Default', N'Any period');
INSERT INTO OADP (PrintId) VALUES (1);

-- The accounts the system itself posts to, under the five drawer titles.
INSERT INTO OACT (AcctCode, AcctName, FormatCode, Levels, GroupMask, Postable) VALUES (N'1', N'Assets', N'1', 1, 1, 'N');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, Levels, GroupMask, Postable) VALUES (N'2', N'Liabilities', N'2', 1, 2, 'N');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, Levels, GroupMask, Postable) VALUES (N'3', N'Capital and Reserves', N'3', 1, 3, 'N');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, Levels, GroupMask, Postable) VALUES (N'4', N'Turnover', N'4', 1, 4, 'N');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, Levels, GroupMask, Postable) VALUES (N'5', N'Cost of Sales', N'5', 1, 5, 'N');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, Levels, GroupMask, Postable) VALUES (N'6', N'Operating Costs', N'6', 1, 6, 'N');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, Levels, GroupMask, Postable) VALUES (N'7', N'Other Income and Expenses', N'7', 1, 7, 'N');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, FatherNum, Levels, GroupMask, Postable) VALUES (N'_SYS00000000001', N'Rounding Account', N'590000', N'5', 2, 5, 'Y');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, FatherNum, Levels, GroupMask, Postable) VALUES (N'_SYS00000000002', N'Exchange Rate Differences', N'591000', N'5', 2, 5, 'Y');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, FatherNum, Levels, GroupMask, Postable) VALUES (N'_SYS00000000003', N'Opening Balances Account', N'390000', N'3', 2, 3, 'Y');
INSERT INTO OACT (AcctCode, AcctName, FormatCode, FatherNum, Levels, GroupMask, Postable) VALUES (N'_SYS00000000004', N'Period-End Closing Account', N'391000', N'3', 2, 3, 'Y');

-- System alerts: the host raises them itself, users only switch them on or off.
INSERT INTO OALT (Code, Name, Type, Active) VALUES (1, N'Deviation from Credit Limit', 'S', 'N');
INSERT INTO OALT (Code, Name, Type, Active) VALUES (2, N'Deviation from Commitment', 'S', 'N');
INSERT INTO OALT (Code, Name, Type, Active) VALUES (3, N'Gross Profit Percent', 'S', 'N');
INSERT INTO OALT (Code, Name, Type, Active) VALUES (4, N'Discount in Document Exceeds', 'S', 'N');
INSERT INTO OALT (Code, Name, Type, Active) VALUES (5, N'Deviation from Budget', 'S', 'N');
INSERT INTO OALT (Code, Name, Type, Active) VALUES (6, N'Inventory Falls Below Minimum', 'S', 'N');

-- The built-in "none" records that new master data points at by default.
INSERT INTO OITB (ItmsGrpCod, ItmsGrpNam) VALUES (100, N'Items');
INSERT INTO OMRC (FirmCode, FirmName) VALUES (-1, N'- No Manufacturer -');
INSERT INTO OARG (CstGrpCode, CstGrpName) VALUES (-1, N'- No Customs Group -');
INSERT INTO OSLP (SlpCode, SlpName) VALUES (-1, N'-No Sales Employee-');

-- The host's own report types, each with its standard layout: users design
-- further layouts of a type, the standard one stays the system's.
INSERT INTO RTYP (TypeCode, TypeName, ObjType, DfltReport) VALUES (N'INV2', N'A/R Invoice', N'13', N'INV20000');
INSERT INTO RTYP (TypeCode, TypeName, ObjType, DfltReport) VALUES (N'RDR2', N'Sales Order', N'17', N'RDR20000');
INSERT INTO RTYP (TypeCode, TypeName, ObjType, DfltReport) VALUES (N'POR2', N'Purchase Order', N'22', N'POR20000');
INSERT INTO RTYP (TypeCode, TypeName, DfltReport) VALUES (N'DUN1', N'Dunning Letter', N'DUN10000');
INSERT INTO RTYP (TypeCode, TypeName, ObjType, DfltReport) VALUES (N'PAY1', N'Payment Advice', N'46', N'PAY10000');
INSERT INTO RTYP (TypeCode, TypeName, DfltReport) VALUES (N'USRT', N'Query Print Layout', N'USRT0000');
INSERT INTO RTYP (TypeCode, TypeName, DfltReport) VALUES (N'USRP', N'Query Print Preview', N'USRP0000');
INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Language, Template, Paper) VALUES (N'INV20000', N'A/R Invoice (standard)', N'INV2', N'System', 3, N'<Layout title="A/R Invoice"><Header height="40"/></Layout>', N'Letter');
INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Language, Template, Paper) VALUES (N'RDR20000', N'Sales Order (standard)', N'RDR2', N'System', 3, N'<Layout title="Sales Order"><Header height="40"/></Layout>', N'Letter');
INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Language, Template, Paper) VALUES (N'POR20000', N'Purchase Order (standard)', N'POR2', N'System', 3, N'<Layout title="Purchase Order"><Header height="40"/></Layout>', N'Letter');
INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Language, Template, Paper) VALUES (N'DUN10000', N'Dunning Letter (standard)', N'DUN1', N'System', 3, N'<Layout title="Dunning Letter"><Header height="40"/></Layout>', N'Letter');
INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Language, Template, Paper) VALUES (N'PAY10000', N'Payment Advice (standard)', N'PAY1', N'System', 3, N'<Layout title="Payment Advice"><Header height="40"/></Layout>', N'Letter');
INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Language, Template, Paper) VALUES (N'USRT0000', N'Query Print Layout (standard)', N'USRT', N'System', 3, N'<Layout title="Query Print Layout"><Header height="40"/></Layout>', N'Letter');
INSERT INTO RDOC (DocCode, DocName, TypeCode, Author, Language, Template, Paper) VALUES (N'USRP0000', N'Query Print Preview (standard)', N'USRP', N'System', 3, N'<Layout title="Query Print Preview"><Header height="40"/></Layout>', N'Letter');
