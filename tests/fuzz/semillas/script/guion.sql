CREATE TABLE x (a int)
GO
INSERT INTO x VALUES (1)
go 3
  Go  
SELECT * FROM x
GO -- fin
